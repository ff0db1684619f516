#include "kivora-check/ModelCheck.h"

#include <array>
#include <cstdint>
#include <ostream>

#include "base/CstdFile.h"
#include "base/Scanner.h"
#include "base/TextCodec.h"
#include "kivora-check/FileShape.h"
#include "kivora-check/Report.h"
#include "sim/OKEspec.h"

namespace kivora {

namespace {

constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Text the game passes over is worth a warning when it is glued to what was
// read ("10abc", ",7" after the last number); a note set off by a space or a
// tab, as the game's own models carry one on every line, is not.
bool GluedOn(const std::string& rest) { return !rest.empty() && rest[0] != ' ' && rest[0] != '\t'; }

// The numbers a line was read as, "80,20".
std::string Numbers(const std::array<std::int32_t, kSpecLineWidest>& values, int line) {
  std::string text;
  for (int k = 0; k < SpecLineNumbers(line); ++k)
    text += (k > 0 ? "," : "") + std::to_string(values[static_cast<std::size_t>(k)]);
  return text;
}

}  // namespace

bool IsModelFileName(const std::string& fileName) {
  if (fileName.size() < 4) return false;
  const std::string tail = fileName.substr(fileName.size() - 4);
  return tail[0] == '.' && Lower(tail[1]) == 's' && Lower(tail[2]) == 'p' && Lower(tail[3]) == 'c';
}

int CheckModel(const std::string& fileName, bool warnings, std::ostream& out) {
  Report report(ForTerminal(fileName));
  report.EnableWarnings(warnings);
  std::int64_t lines = 0;
  std::size_t rejected = 0;
  try {
    if (warnings) WarnAboutShape(ExamineFile(fileName), report);
    CstdFile in(fileName, File::modeRead);
    bool extraNoted = false;
    for (std::string text; in.ReadString(text);) {
      const std::int64_t line = ++lines;
      if (line > kSpecLineCount) {
        // Lines after the model are the author's own (the game's models end
        // with a description); one that starts with a number looks like data
        // the author meant the game to read.
        std::int64_t number = 0;
        if (!extraNoted && Scanner(text).Int(number)) {
          extraNoted = true;
          report.Warn(line, "the game reads 27 lines; this line and any after it are ignored");
        }
        continue;
      }
      std::array<std::int32_t, kSpecLineWidest> values{};
      std::string what;
      std::size_t end = 0;
      if (!ScanSpecLine(static_cast<int>(line), text, values, &what, &end)) {
        ++rejected;
        report.Add(line, "rejected: " + ForTerminal(what));
      } else if (const std::string rest = text.substr(end); GluedOn(rest)) {
        report.Warn(line, "the game reads " + Numbers(values, static_cast<int>(line)) + " and ignores \"" +
                              ForTerminal(rest) + "\"");
      }
    }
  } catch (const FileException&) {
    out << report.Name() << ": cannot open\n";
    return 2;
  }
  if (lines < kSpecLineCount) {
    ++rejected;
    report.Add(lines + 1, "rejected: " + SpecEndsEarly(static_cast<std::size_t>(lines)));
  }
  report.Print(out, std::to_string(lines) + " lines, " + std::to_string(rejected) + " rejected");
  return rejected > 0 ? 1 : 0;
}

}  // namespace kivora
