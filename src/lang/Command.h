#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "lang/ProgramUnit.h"

namespace kivora {

// One statement of a robot program. A program is a chain of commands:
// `textNext` follows the file (and is what the owner walks to release the
// chain), `next` is what runs when no branch is taken, `jumpTarget` is
// where a branching command goes when its branch is taken.
class Command {
public:
  Command() = default;
  Command& operator=(const Command&) = delete;
  virtual ~Command() = default;

  // A command of the same class with the same arguments and the same
  // links (CopyProgram makes them point into the copy's own chain).
  virtual std::unique_ptr<Command> Clone() const = 0;

  // Reads the arguments from the whole command line, keyword included.
  // 1 = accepted, 0 = rejected; a rejected line puts into `why` (when given)
  // what is wrong with it, in a few English words for the program's author.
  // An accepted line puts into `end` (when given) the offset just past the
  // last byte the command took from it: whatever follows is ignored.
  virtual int Parse(const char* line, std::string* why, std::size_t* end) = 0;
  // Performs the command for `unit` and returns the command to run next.
  virtual Command* Execute(ProgramUnit& unit) = 0;
  // The label a branching command refers to; null for the others.
  virtual const char* JumpLabel() const { return nullptr; }
  // The short text shown on a unit's sheet. Classes with arguments format it
  // into their own `text` member on every call (the program step never
  // touches `text`, so the sheet may ask while the unit runs).
  virtual const char* Describe() = 0;

  Command* textNext = nullptr;
  Command* next = nullptr;
  Command* jumpTarget = nullptr;

protected:
  Command(const Command&) = default;
};

// Room for every text a command describes itself with.
inline constexpr int describeBufferSize = 64;

class CommandNop : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override { return "NOP"; }
};

class CommandMove : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  enum { FORWARD, BACKWARD, LEFT, RIGHT, STOP };
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override;

  int kind = FORWARD;
};

class CommandJump : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  enum { JUMPFORWARD, JUMPBACKWARD, JUMPLEFT, JUMPRIGHT };
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override;

  int kind = JUMPFORWARD;
};

class CommandTurn : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  enum { TURNLEFT, TURNRIGHT };
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override;

  int kind = TURNLEFT;
};

class CommandFire : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override;

  int angle = 0;
  int width = 0;
  int range = 0;
  char text[describeBufferSize] = {};
};

class CommandFight : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override { return "FIGHT"; }
};

class CommandProne : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override { return "PRONE"; }
};

class CommandGetParts : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override { return "GET"; }
};

// The five sector searches share their line format and their sheet text;
// they differ in what they look for.
class CommandSearch : public Command {
public:
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  const char* JumpLabel() const override { return label.c_str(); }
  const char* Describe() override;
  Command* Execute(ProgramUnit& unit) override;
  // The keyword, upper case ("SEARCHE" ...).
  virtual const char* Keyword() const = 0;
  // What the search looks for.
  virtual Sought Target() const = 0;

  std::string label;
  int angle = 0;
  int width = 0;
  int range = 0;
  char text[describeBufferSize] = {};
};

class CommandSearchEnemy : public CommandSearch {
public:
  std::unique_ptr<Command> Clone() const override;
  const char* Keyword() const override { return "SEARCHE"; }
  Sought Target() const override { return Sought::Enemy; }
};

class CommandSearchFriend : public CommandSearch {
public:
  std::unique_ptr<Command> Clone() const override;
  const char* Keyword() const override { return "SEARCHF"; }
  Sought Target() const override { return Sought::Friend; }
};

class CommandSearchObject : public CommandSearch {
public:
  std::unique_ptr<Command> Clone() const override;
  const char* Keyword() const override { return "SEARCHO"; }
  Sought Target() const override { return Sought::Wall; }
};

class CommandSearchBullette : public CommandSearch {
public:
  std::unique_ptr<Command> Clone() const override;
  const char* Keyword() const override { return "SEARCHB"; }
  Sought Target() const override { return Sought::IncomingBullet; }
};

class CommandSearchParts : public CommandSearch {
public:
  std::unique_ptr<Command> Clone() const override;
  const char* Keyword() const override { return "SEARCHP"; }
  Sought Target() const override { return Sought::Part; }
};

class CommandRandom : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* JumpLabel() const override { return label.c_str(); }
  const char* Describe() override;

  std::string label;
  int numerator = 0;
  int denominator = 0;
  char text[describeBufferSize] = {};
};

// Comparison codes of REMAIN and COND: 0..3 compare with a number, 4..7
// (COND only) with a second variable; code % 4 picks ==, !=, >=, <=.
inline constexpr char comparisonChars[] = "=!><";
// Operator codes of VAR: 0..5 with a number, 6..11 with a second variable;
// code % 6 picks = + - * / %.
inline constexpr char operatorChars[] = "=+-*/%";

class CommandRemain : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* JumpLabel() const override { return label.c_str(); }
  const char* Describe() override;

  std::string label;
  int value = 0;
  char text[describeBufferSize] = {};
  int op = 0;
};

class CommandVar : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override;

  char variable = 0;
  char sourceVariable = 0;
  int value = 0;
  char text[describeBufferSize] = {};
  int op = 0;
};

class CommandVarCond : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* JumpLabel() const override { return label.c_str(); }
  const char* Describe() override;

  std::string label;
  char variable = 0;
  char sourceVariable = 0;
  int value = 0;
  char text[describeBufferSize] = {};
  int op = 0;
};

class CommandGetInfo : public Command {
public:
  std::unique_ptr<Command> Clone() const override;
  enum { X, Y, DIR, WEAPON };
  int Parse(const char* line, std::string* why, std::size_t* end) override;
  Command* Execute(ProgramUnit& unit) override;
  const char* Describe() override;

  char variable = 0;
  char text[describeBufferSize] = {};
  int item = X;
};

// Builds the command for one command line, or returns null when the line is
// not an accepted command (unknown keyword, arguments that do not fit, a
// value out of range, a word too long); then `why`, when given, says which.
// `label` receives the label name of a branching command and is emptied
// otherwise. `end`, when given, receives for an accepted line the offset
// just past what the command read; the game ignores the rest of the line.
std::unique_ptr<Command> CreateCommand(const char* line, std::string& label, std::string* why = nullptr,
                                       std::size_t* end = nullptr);

}  // namespace kivora
