#pragma once
#include <cstdint>
#include <string>

#include "lang/Command.h"

namespace kivora {

// A label while a program is being read: a definition (":name"), a jump
// line (">name") or a branching command's reference.
struct LabelData {
  std::string name;
  // Definition or jump line: the last command created before it (null if
  // none yet). Branch reference: the branching command itself.
  Command* command = nullptr;
  std::int64_t line = 0;  // source line, for the checker's reports
};

// Owns a program: the commands linked by `textNext` from the first one.
// Destroying the chain releases every command along `textNext`, never along
// `next` or `jumpTarget`, which may loop.
class CommandChain {
public:
  CommandChain() = default;
  explicit CommandChain(Command* first) noexcept : first_(first) {}
  ~CommandChain() { Destroy(first_); }
  CommandChain(CommandChain&& other) noexcept : first_(other.Release()) {}
  CommandChain& operator=(CommandChain&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  CommandChain(const CommandChain&) = delete;
  CommandChain& operator=(const CommandChain&) = delete;

  Command* First() const { return first_; }
  bool Empty() const { return first_ == nullptr; }
  // Number of commands (walks the chain).
  std::size_t Size() const;
  // Gives up ownership and returns the first command.
  Command* Release() noexcept {
    Command* first = first_;
    first_ = nullptr;
    return first;
  }
  // Releases the current chain and takes `first` instead.
  void Reset(Command* first = nullptr) noexcept {
    Command* old = first_;
    first_ = first;
    Destroy(old);
  }

  // Releases a chain along `textNext`.
  static void Destroy(Command* first) noexcept;

private:
  Command* first_ = nullptr;
};

// Optional listener for what the reader sees, for tools that explain a
// program to its author. Line numbers count the lines as the line reader
// returns them, from 1 (a line longer than the reader's piece counts as
// several).
class ProgramDiagnostics {
public:
  virtual ~ProgramDiagnostics() = default;
  // Every line as the line reader returned it, before anything is taken from it.
  virtual void Read(std::int64_t /*line*/, const std::string& /*text*/) {}
  // A label definition line (":name").
  virtual void Defined(std::int64_t /*line*/, const std::string& /*name*/) {}
  // A command line became `command` (called in file order).
  virtual void Accepted(std::int64_t /*line*/, Command& /*command*/) {}
  // The accepted command line `text` (trailing white space removed) goes on
  // after what the command read, from offset `from`; the game ignores that
  // rest. Called right after Accepted.
  virtual void Ignored(std::int64_t /*line*/, const std::string& /*text*/, std::size_t /*from*/) {}
  // A command line was refused; `reason` says why in a few English words.
  virtual void Dropped(std::int64_t /*line*/, const std::string& /*text*/, const std::string& /*reason*/) {}
  // A branching command or jump line names a label the file never defines.
  // Reported after the whole file was read, in line order.
  virtual void UnknownLabel(std::int64_t /*line*/, const std::string& /*name*/) {}
};

// Reads the program file `fileName` into a chain with its labels, jump lines
// and branch targets resolved. Needs no unit; a unit's program load wraps it.
// A file without any accepted command gives an empty chain. Throws
// FileException when the file cannot be opened or read; nothing is kept then.
CommandChain ReadProgram(const std::string& fileName, ProgramDiagnostics* diagnostics = nullptr);

// Removes trailing white space (space, tab, line feed, vertical tab, form
// feed, carriage return) from a program line.
void TrimLineEnd(std::string& line);

}  // namespace kivora
