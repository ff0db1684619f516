#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

class Command;

// One command of a program as its listings show it: kivora-check --list and
// the game's program window.
struct ListedCommand {
  std::string describe;              // what the command's Describe returns, bytes as read
  std::optional<std::size_t> next;   // index of the command that runs next; none: the program stops
  std::optional<std::size_t> jump;   // index of the branch target; none without one
};

// The program that starts at `first`, one entry per command in file order
// (along textNext), numbered from 0.
std::vector<ListedCommand> ListCommands(Command* first);

// The listing line of command `index`: "I DESCRIBE next=J jump=K", with "-"
// for a missing index; with a source line "I LLINE DESCRIBE next=J jump=K".
// `describe` stands for the command's text and is written as given: the
// caller has converted it for where the line goes. No line end.
std::string ListingLine(std::size_t index, const ListedCommand& command, std::string_view describe,
                        std::optional<std::int64_t> sourceLine = std::nullopt);

}  // namespace kivora
