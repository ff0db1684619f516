#pragma once
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kivora {

// What the checker says about one file: gathered while the file is read,
// printed once it is read, in line order (messages of one line in the order
// they were added). Every text is already fit for a terminal.
class Report {
public:
  explicit Report(std::string shownName) : name_(std::move(shownName)) {}

  const std::string& Name() const { return name_; }

  // "FILE:LINE: TEXT".
  void Add(std::int64_t line, std::string text) { lines_.emplace_back(line, std::move(text)); }
  // "FILE:LINE: warning: TEXT", when warnings were asked for.
  void Warn(std::int64_t line, const std::string& text) {
    if (warnings_) Add(line, "warning: " + text);
  }
  // "FILE: warning: TEXT" after the lines, for the file as a whole.
  void WarnFile(const std::string& text) {
    if (warnings_) fileWide_.push_back("warning: " + text);
  }
  void EnableWarnings(bool on) { warnings_ = on; }
  bool Warnings() const { return warnings_; }

  // The messages, then `summary` as "FILE: SUMMARY".
  void Print(std::ostream& out, const std::string& summary) {
    std::stable_sort(lines_.begin(), lines_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, text] : lines_) out << name_ << ':' << line << ": " << text << '\n';
    for (const std::string& text : fileWide_) out << name_ << ": " << text << '\n';
    out << name_ << ": " << summary << '\n';
  }

private:
  std::string name_;
  bool warnings_ = false;
  std::vector<std::pair<std::int64_t, std::string>> lines_;
  std::vector<std::string> fileWide_;
};

}  // namespace kivora
