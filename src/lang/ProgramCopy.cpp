#include "lang/ProgramCopy.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace kivora {
namespace {

template <typename T>
std::unique_ptr<Command> CopyOf(const T& command) {
  return std::make_unique<T>(command);
}

}  // namespace

std::unique_ptr<Command> CommandNop::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandMove::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandJump::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandTurn::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandFire::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandFight::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandProne::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandGetParts::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandSearchEnemy::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandSearchFriend::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandSearchObject::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandSearchBullette::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandSearchParts::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandRandom::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandRemain::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandVar::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandVarCond::Clone() const { return CopyOf(*this); }
std::unique_ptr<Command> CommandGetInfo::Clone() const { return CopyOf(*this); }

CommandChain CopyProgram(const Command* first) {
  // The originals in chain order, sorted by address beside their index, to
  // find where a link points in a long program without a hash.
  std::vector<const Command*> originals;
  for (const Command* c = first; c; c = c->textNext) originals.push_back(c);
  std::vector<std::pair<const Command*, std::size_t>> byAddress;
  byAddress.reserve(originals.size());
  for (std::size_t i = 0; i < originals.size(); ++i) byAddress.emplace_back(originals[i], i);
  std::sort(byAddress.begin(), byAddress.end(), [](const auto& a, const auto& b) {
    return std::less<const Command*>()(a.first, b.first);
  });

  CommandChain copy;
  std::vector<Command*> copies;
  copies.reserve(originals.size());
  Command* last = nullptr;
  for (const Command* original : originals) {
    Command* made = original->Clone().release();
    made->textNext = nullptr;
    if (last) last->textNext = made;
    else copy.Reset(made);
    last = made;
    copies.push_back(made);
  }
  auto remap = [&](const Command* link) -> Command* {
    if (!link) return nullptr;
    const auto at = std::lower_bound(byAddress.begin(), byAddress.end(), link, [](const auto& entry, const Command* p) {
      return std::less<const Command*>()(entry.first, p);
    });
    if (at == byAddress.end() || at->first != link) throw std::logic_error("a program link leaves its chain");
    return copies[at->second];
  };
  for (std::size_t i = 0; i < originals.size(); ++i) {
    copies[i]->next = remap(originals[i]->next);
    copies[i]->jumpTarget = remap(originals[i]->jumpTarget);
  }
  return copy;
}

std::optional<std::size_t> CommandIndex(const Command* first, const Command* command) {
  std::size_t index = 0;
  for (const Command* c = first; c; c = c->textNext, ++index) {
    if (c == command) return index;
  }
  return std::nullopt;
}

Command* CommandAt(Command* first, std::size_t index) {
  Command* c = first;
  for (; c && index > 0; --index) c = c->textNext;
  return c;
}

}  // namespace kivora
