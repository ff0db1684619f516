#include "lang/ProgramReader.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/CstdFile.h"

namespace kivora {

std::size_t CommandChain::Size() const {
  std::size_t n = 0;
  for (const Command* c = first_; c != nullptr; c = c->textNext) ++n;
  return n;
}

void CommandChain::Destroy(Command* first) noexcept {
  // A loop, not recursion: a program may hold a million commands.
  while (first != nullptr) {
    Command* following = first->textNext;
    delete first;
    first = following;
  }
}

namespace {

// Lead bytes of the game's double-byte code page: with the byte after them
// they form one character.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

constexpr bool IsLineSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

void TrimLineEnd(std::string& line) {
  // Walk from the front so that a double-byte character is never cut in
  // two: the byte after a lead byte belongs to it, whatever its value, so a
  // space right after a lead byte stays.
  std::size_t keep = 0;
  for (std::size_t i = 0; i < line.size();) {
    const char c = line[i];
    const bool doubleByte = IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < line.size();
    i += doubleByte ? 2 : 1;
    if (doubleByte || !IsLineSpace(c)) keep = i;
  }
  line.erase(keep);
}

namespace {

// Builds a chain line by line, then resolves its labels.
class ProgramBuilder {
public:
  explicit ProgramBuilder(ProgramDiagnostics* diagnostics) : diagnostics_(diagnostics) {}

  void AddLine(std::string& line, std::int64_t lineNumber) {
    if (diagnostics_ != nullptr) diagnostics_->Read(lineNumber, line);
    TrimLineEnd(line);
    if (line.empty() || line[0] == '#') return;
    if (line[0] == ':') {
      definitions_.push_back({line.substr(1), last_, lineNumber});
      if (diagnostics_ != nullptr) diagnostics_->Defined(lineNumber, definitions_.back().name);
      return;
    }
    if (line[0] == '>') {
      jumpLines_.push_back({line.substr(1), last_, lineNumber});
      return;
    }
    // Command lines are C text: whatever follows a NUL byte is not read.
    std::string reason;
    std::size_t end = 0;
    std::unique_ptr<Command> command =
        CreateCommand(line.c_str(), label_, diagnostics_ ? &reason : nullptr, diagnostics_ ? &end : nullptr);
    if (!command) {
      if (diagnostics_ != nullptr) diagnostics_->Dropped(lineNumber, line, reason);
      return;
    }
    Command* added = command.release();
    if (last_ == nullptr) chain_.Reset(added);
    else last_->next = last_->textNext = added;
    last_ = added;
    if (diagnostics_ != nullptr) {
      diagnostics_->Accepted(lineNumber, *added);
      if (end < line.size()) diagnostics_->Ignored(lineNumber, line, end);
    }
    if (!label_.empty()) branches_.push_back({label_, added, lineNumber});
  }

  CommandChain Finish() {
    Command* first = chain_.First();
    // The first definition of a name is the one that counts.
    std::unordered_map<std::string_view, const LabelData*> byName;
    byName.reserve(definitions_.size());
    for (const LabelData& d : definitions_) byName.try_emplace(d.name, &d);
    auto target = [first](const LabelData& d) { return d.command != nullptr ? d.command->textNext : first; };

    std::vector<std::pair<std::int64_t, const std::string*>> unknown;
    for (const LabelData& j : jumpLines_) {
      const auto found = byName.find(j.name);
      if (found == byName.end()) {
        unknown.emplace_back(j.line, &j.name);
        continue;
      }
      Command* source = j.command != nullptr ? j.command : first;
      if (source != nullptr) source->next = target(*found->second);
    }
    for (const LabelData& b : branches_) {
      const auto found = byName.find(b.name);
      if (found == byName.end()) {
        unknown.emplace_back(b.line, &b.name);
        continue;
      }
      b.command->jumpTarget = target(*found->second);
    }
    if (diagnostics_ != nullptr) {
      std::stable_sort(unknown.begin(), unknown.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      for (const auto& [line, name] : unknown) diagnostics_->UnknownLabel(line, *name);
    }
    return std::move(chain_);
  }

private:
  ProgramDiagnostics* diagnostics_;
  CommandChain chain_;
  Command* last_ = nullptr;
  std::string label_;
  std::vector<LabelData> definitions_;
  std::vector<LabelData> jumpLines_;
  std::vector<LabelData> branches_;
};

}  // namespace

CommandChain ReadProgram(const std::string& fileName, ProgramDiagnostics* diagnostics) {
  CstdFile file(fileName, CstdFile::modeRead);
  ProgramBuilder builder(diagnostics);
  std::string line;
  std::int64_t lineNumber = 0;
  while (file.ReadString(line)) builder.AddLine(line, ++lineNumber);
  return builder.Finish();
}

}  // namespace kivora
