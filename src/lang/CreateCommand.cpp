#include "lang/Command.h"
#include "lang/CommandText.h"

#include <cstring>

namespace kivora {

namespace {

std::unique_ptr<Command> NewCommandFor(const char* keyword) {
  // NOP and its short form are matched exactly; every other keyword ignores case.
  if (std::strcmp(keyword, "NOP") == 0 || std::strcmp(keyword, "-") == 0) return std::make_unique<CommandNop>();
  struct Entry {
    const char* keyword;
    std::unique_ptr<Command> (*make)();
  };
  static constexpr Entry table[] = {
      {"FORWARD", [] { return std::unique_ptr<Command>(new CommandMove); }},
      {"BACKWARD", [] { return std::unique_ptr<Command>(new CommandMove); }},
      {"LEFT", [] { return std::unique_ptr<Command>(new CommandMove); }},
      {"RIGHT", [] { return std::unique_ptr<Command>(new CommandMove); }},
      {"STOP", [] { return std::unique_ptr<Command>(new CommandMove); }},
      {"JUMPFORWARD", [] { return std::unique_ptr<Command>(new CommandJump); }},
      {"JUMPBACKWARD", [] { return std::unique_ptr<Command>(new CommandJump); }},
      {"JUMPLEFT", [] { return std::unique_ptr<Command>(new CommandJump); }},
      {"JUMPRIGHT", [] { return std::unique_ptr<Command>(new CommandJump); }},
      {"TURNLEFT", [] { return std::unique_ptr<Command>(new CommandTurn); }},
      {"TURNRIGHT", [] { return std::unique_ptr<Command>(new CommandTurn); }},
      {"FIRE", [] { return std::unique_ptr<Command>(new CommandFire); }},
      {"FIGHT", [] { return std::unique_ptr<Command>(new CommandFight); }},
      {"PRONE", [] { return std::unique_ptr<Command>(new CommandProne); }},
      {"GET", [] { return std::unique_ptr<Command>(new CommandGetParts); }},
      {"SEARCHE", [] { return std::unique_ptr<Command>(new CommandSearchEnemy); }},
      {"SEARCHF", [] { return std::unique_ptr<Command>(new CommandSearchFriend); }},
      {"SEARCHO", [] { return std::unique_ptr<Command>(new CommandSearchObject); }},
      {"SEARCHB", [] { return std::unique_ptr<Command>(new CommandSearchBullette); }},
      {"SEARCHP", [] { return std::unique_ptr<Command>(new CommandSearchParts); }},
      {"VAR", [] { return std::unique_ptr<Command>(new CommandVar); }},
      {"COND", [] { return std::unique_ptr<Command>(new CommandVarCond); }},
      {"RANDOM", [] { return std::unique_ptr<Command>(new CommandRandom); }},
      {"REMAIN", [] { return std::unique_ptr<Command>(new CommandRemain); }},
      {"GETINFO", [] { return std::unique_ptr<Command>(new CommandGetInfo); }},
  };
  for (const Entry& e : table) {
    if (EqualsIgnoringCase(keyword, e.keyword)) return e.make();
  }
  return nullptr;
}

// Why a line has no keyword the factory can take.
std::string KeywordFault(const char* line, const std::string& keyword, bool read) {
  if (line == nullptr || line[0] == '\0') return "no keyword";
  if (line[0] == ' ' || line[0] == '\t') return "no keyword: the line starts with white space";
  if (line[0] == ',') return "no keyword: the line starts with a comma";
  if (!read) return "keyword longer than 255 bytes";
  std::string reason = "unknown keyword " + keyword;
  if (EqualsIgnoringCase(keyword.c_str(), "NOP")) reason += " (NOP is written in capitals)";
  return reason;
}

}  // namespace

bool IsKnownKeyword(const char* keyword) { return NewCommandFor(keyword) != nullptr; }

std::unique_ptr<Command> CreateCommand(const char* line, std::string& label, std::string* why, std::size_t* end) {
  label.clear();
  std::string keyword;
  const bool read = line != nullptr && ReadKeyword(line, keyword);
  std::unique_ptr<Command> command = read ? NewCommandFor(keyword.c_str()) : nullptr;
  if (!command) {
    if (why) *why = KeywordFault(line, keyword, read);
    return nullptr;
  }
  std::string reason;
  if (command->Parse(line, why ? &reason : nullptr, end) != 1) {
    if (why) *why = reason.empty() ? "arguments do not fit the command" : std::move(reason);
    return nullptr;
  }
  if (const char* name = command->JumpLabel()) label = name;
  return command;
}

}  // namespace kivora
