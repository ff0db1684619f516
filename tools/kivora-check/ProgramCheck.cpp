#include "kivora-check/ProgramCheck.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <unordered_map>
#include <utility>

#include "base/CstdFile.h"
#include "base/TextCodec.h"
#include "lang/ProgramReader.h"

namespace kivora {

namespace {

constexpr const char* usage = "usage: kivora-check [--list] FILE.prg...\n";

// Collects what the reader reports; printed only once the whole file was read.
struct Findings : ProgramDiagnostics {
  void Accepted(std::int64_t line, Command& command) override { lineOf.emplace(&command, line); }
  void Dropped(std::int64_t line, const std::string&, const std::string& reason) override {
    ++dropped;
    messages.emplace_back(line, "dropped: " + ToUtf8(reason));
  }
  void UnknownLabel(std::int64_t line, const std::string& name) override {
    ++unknown;
    messages.emplace_back(line, "unknown label \"" + ToUtf8(name) + "\"");
  }

  std::unordered_map<const Command*, std::int64_t> lineOf;
  std::vector<std::pair<std::int64_t, std::string>> messages;
  std::size_t dropped = 0;
  std::size_t unknown = 0;
};

void PrintListing(const CommandChain& chain, const Findings& findings, std::ostream& out) {
  std::unordered_map<const Command*, std::size_t> index;
  std::size_t n = 0;
  for (const Command* c = chain.First(); c != nullptr; c = c->textNext) index.emplace(c, n++);
  auto ref = [&index](const Command* c) { return c == nullptr ? std::string("-") : std::to_string(index.at(c)); };
  n = 0;
  for (Command* c = chain.First(); c != nullptr; c = c->textNext, ++n) {
    const auto line = findings.lineOf.find(c);
    out << n << " L" << (line != findings.lineOf.end() ? line->second : 0) << ' ' << ToUtf8(c->Describe())
        << " next=" << ref(c->next) << " jump=" << ref(c->jumpTarget) << '\n';
  }
}

// Checks one file; returns its exit status.
int CheckFile(const std::string& fileName, bool list, std::ostream& out) {
  const std::string shownName = ToUtf8(fileName);
  Findings findings;
  CommandChain chain;
  try {
    chain = ReadProgram(fileName, &findings);
  } catch (const FileException&) {
    out << shownName << ": cannot open\n";
    return 2;
  }
  if (list) PrintListing(chain, findings, out);
  std::stable_sort(findings.messages.begin(), findings.messages.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [line, text] : findings.messages) out << shownName << ':' << line << ": " << text << '\n';
  out << shownName << ": " << chain.Size() << " commands, " << findings.dropped << " dropped, " << findings.unknown
      << " unknown labels\n";
  return findings.dropped + findings.unknown > 0 ? 1 : 0;
}

}  // namespace

int RunProgramCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool list = false;
  bool optionsDone = false;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (!optionsDone && arg == "--") optionsDone = true;
    else if (!optionsDone && arg == "--list") list = true;
    else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      err << "kivora-check: unknown option " << ToUtf8(arg) << '\n' << usage;
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
  for (const std::string& file : files) status = std::max(status, CheckFile(file, list, out));
  out.flush();
  return status;
}

}  // namespace kivora
