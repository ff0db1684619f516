#include "kivora-check/ProgramCheck.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <ostream>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/CstdFile.h"
#include "base/TextCodec.h"
#include "kivora-check/FileShape.h"
#include "kivora-check/ModelCheck.h"
#include "kivora-check/Report.h"
#include "lang/CommandListing.h"
#include "lang/ProgramReader.h"

namespace kivora {

namespace {

// Printed on standard error for bad arguments.
constexpr const char* usage = "usage: kivora-check [--list] FILE.prg...\n";

// Printed on standard output for --help.
constexpr const char* help =
    "usage: kivora-check [--list] [-W] FILE...\n"
    "Reads robot programs and unit models exactly as the game does and reports\n"
    "what the game would drop or refuse in silence. A FILE whose name ends in\n"
    ".spc (any letter case) is a unit model; any other is a program.\n"
    "\n"
    "  --list  before the diagnostics of a program, print the program as loaded,\n"
    "          one command a line: I LLINE DESCRIBE next=J jump=K\n"
    "  -W      also warn about what the game accepts but probably is a mistake:\n"
    "          no command, a program that stops for good, a label defined twice,\n"
    "          text glued to a complete command or number, UTF-8 text, a\n"
    "          byte-order mark, carriage returns without line feeds, numbers\n"
    "          after the 27 lines of a model (never changes a summary or the\n"
    "          exit status)\n"
    "  --help  print this text\n"
    "  --      every argument after it is a FILE\n"
    "\n"
    "Programs:  FILE:LINE: dropped: REASON\n"
    "           FILE:LINE: unknown label \"NAME\"\n"
    "           FILE: N commands, D dropped, U unknown labels\n"
    "Models:    FILE:LINE: rejected: WHAT THE LINE MUST HOLD\n"
    "           FILE: N lines, R rejected\n"
    "With -W:   FILE:LINE: warning: TEXT   (FILE: warning: TEXT for a whole file)\n"
    "\n"
    "Exit status: 0 all clean; 1 a dropped line, an unknown label or a model the\n"
    "game refuses; 2 a file that cannot be read (\"FILE: cannot open\") or bad\n"
    "arguments.\n";

struct Options {
  bool list = false;
  bool warnings = false;
};

// Gathers what the reader reports into the file's report.
struct Findings : ProgramDiagnostics {
  Findings(Report& report, const FileShape* shape) : report(report), shape(shape) {}

  void Read(std::int64_t line, const std::string& text) override {
    if (utf8Noted || shape == nullptr || !shape->nonAscii || !shape->validUtf8) return;
    const std::size_t from = line == 1 && shape->mark == FileShape::Mark::utf8 ? 3 : 0;
    if (std::none_of(text.begin() + static_cast<std::ptrdiff_t>(std::min(from, text.size())), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
      return;
    utf8Noted = true;
    report.Warn(line, "the file looks like UTF-8 (this is its first line with non-ASCII text); the game reads "
                      "Shift-JIS");
  }
  void Defined(std::int64_t line, const std::string& name) override {
    const auto [first, fresh] = definedAt.try_emplace(name, line);
    if (!fresh) {
      report.Warn(line, "label \"" + ForTerminal(name) + "\" is defined again; its definition on line " +
                            std::to_string(first->second) + " is the one used");
    }
  }
  void Accepted(std::int64_t line, Command& command) override {
    lineOf.emplace(&command, line);
    lastAccepted = &command;
  }
  void Ignored(std::int64_t line, const std::string& text, std::size_t from) override {
    // A note set off by a space or a tab is the language's way of commenting
    // a command; text glued to it ("VAR,A=B5", "FORWARD,10") rarely is.
    if (text[from] == ' ' || text[from] == '\t') return;
    report.Warn(line, "the game reads " + ForTerminal(lastAccepted->Describe()) +
                          " and ignores \"" + ForTerminal(std::string_view(text).substr(from)) + "\"");
  }
  void Dropped(std::int64_t line, const std::string&, const std::string& reason) override {
    ++dropped;
    report.Add(line, "dropped: " + ForTerminal(reason));
  }
  void UnknownLabel(std::int64_t line, const std::string& name) override {
    ++unknown;
    unknownAt.insert(line);
    report.Add(line, "unknown label \"" + ForTerminal(name) + "\"");
  }

  Report& report;
  const FileShape* shape;
  bool utf8Noted = false;
  Command* lastAccepted = nullptr;  // Ignored always follows the Accepted of its command
  std::unordered_map<const Command*, std::int64_t> lineOf;
  std::unordered_map<std::string, std::int64_t> definedAt;
  std::unordered_set<std::int64_t> unknownAt;  // lines whose label is undefined
  std::size_t dropped = 0;
  std::size_t unknown = 0;
};

void PrintListing(const CommandChain& chain, const Findings& findings, std::ostream& out) {
  const std::vector<ListedCommand> listed = ListCommands(chain.First());
  std::size_t n = 0;
  for (const Command* c = chain.First(); c != nullptr; c = c->textNext, ++n) {
    const auto line = findings.lineOf.find(c);
    out << ListingLine(n, listed[n], ForTerminal(listed[n].describe),
                       line != findings.lineOf.end() ? line->second : 0)
        << '\n';
  }
}

// Where a program stops for good: every command that can run from the
// start (following `next` and, for branches, `jumpTarget`) after which
// nothing runs: its `next` is null, or it branches to a label that is
// defined with no command after it. Branches to undefined labels are
// reported as unknown labels already.
void WarnWhereItStops(const CommandChain& chain, Findings& findings) {
  if (chain.Empty()) {
    findings.report.WarnFile("no command: a unit with this program does nothing");
    return;
  }
  std::unordered_set<const Command*> seen{chain.First()};
  std::deque<Command*> todo{chain.First()};
  while (!todo.empty()) {
    Command* c = todo.front();
    todo.pop_front();
    const std::int64_t line = findings.lineOf.at(c);
    if (c->next == nullptr) findings.report.Warn(line, "the program stops for good after this command");
    const char* label = c->JumpLabel();
    if (label != nullptr && c->jumpTarget == nullptr && findings.unknownAt.count(line) == 0) {
      findings.report.Warn(line, "label \"" + ForTerminal(label) +
                                     "\" has no command after it: taking this branch stops the program for good");
    }
    for (Command* to : {c->next, c->jumpTarget}) {
      if (to != nullptr && seen.insert(to).second) todo.push_back(to);
    }
  }
}

// Checks one program file; returns its exit status.
int CheckProgram(const std::string& fileName, const Options& options, std::ostream& out) {
  Report report(ForTerminal(fileName));
  report.EnableWarnings(options.warnings);
  FileShape shape;
  Findings findings(report, options.warnings ? &shape : nullptr);
  CommandChain chain;
  try {
    if (options.warnings) {
      shape = ExamineFile(fileName);
      WarnAboutShape(shape, report);
    }
    chain = ReadProgram(fileName, &findings);
  } catch (const FileException&) {
    out << report.Name() << ": cannot open\n";
    return 2;
  }
  if (options.warnings) WarnWhereItStops(chain, findings);
  if (options.list) PrintListing(chain, findings, out);
  report.Print(out, std::to_string(chain.Size()) + " commands, " + std::to_string(findings.dropped) + " dropped, " +
                        std::to_string(findings.unknown) + " unknown labels");
  return findings.dropped + findings.unknown > 0 ? 1 : 0;
}

}  // namespace

int RunProgramCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  bool optionsDone = false;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (!optionsDone && arg == "--") optionsDone = true;
    else if (!optionsDone && arg == "--list") options.list = true;
    else if (!optionsDone && arg == "-W") options.warnings = true;
    else if (!optionsDone && arg == "--help") {
      out << help;
      out.flush();
      return 0;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      err << "kivora-check: unknown option " << ForTerminal(arg) << '\n' << usage;
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    err << usage;
    return 2;
  }
  int status = 0;
  for (const std::string& file : files) {
    const int fileStatus =
        IsModelFileName(file) ? CheckModel(file, options.warnings, out) : CheckProgram(file, options, out);
    status = std::max(status, fileStatus);
  }
  out.flush();
  return status;
}

}  // namespace kivora
