#include "lang/CommandListing.h"

#include <unordered_map>

#include "lang/Command.h"

namespace kivora {

std::vector<ListedCommand> ListCommands(Command* first) {
  std::unordered_map<const Command*, std::size_t> index;
  std::size_t n = 0;
  for (const Command* c = first; c != nullptr; c = c->textNext) index.emplace(c, n++);
  // Every next and jump target of a read program is one of its own commands.
  auto indexOf = [&index](const Command* c) -> std::optional<std::size_t> {
    const auto found = c == nullptr ? index.end() : index.find(c);
    if (found == index.end()) return std::nullopt;
    return found->second;
  };
  std::vector<ListedCommand> listed;
  listed.reserve(n);
  for (Command* c = first; c != nullptr; c = c->textNext) {
    listed.push_back({c->Describe(), indexOf(c->next), indexOf(c->jumpTarget)});
  }
  return listed;
}

std::string ListingLine(std::size_t index, const ListedCommand& command, std::string_view describe,
                        std::optional<std::int64_t> sourceLine) {
  auto ref = [](const std::optional<std::size_t>& i) { return i ? std::to_string(*i) : std::string("-"); };
  std::string line = std::to_string(index) + ' ';
  if (sourceLine) line += 'L' + std::to_string(*sourceLine) + ' ';
  line += describe;
  line += " next=" + ref(command.next) + " jump=" + ref(command.jump);
  return line;
}

}  // namespace kivora
