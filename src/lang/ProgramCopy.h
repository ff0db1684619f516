#pragma once
#include <cstddef>
#include <optional>

#include "lang/Command.h"
#include "lang/ProgramReader.h"

namespace kivora {

// A copy of the program that starts at `first`: every command along
// `textNext` cloned, its `next` and `jumpTarget` pointing to the copies of
// the commands they pointed to. Throws std::logic_error for a link that
// leaves the chain (no program the reader builds has one).
CommandChain CopyProgram(const Command* first);

// Where `command` stands in the chain from `first`, counted along `textNext`
// from 0 (the trace's `pc`); nothing when it is not in the chain.
std::optional<std::size_t> CommandIndex(const Command* first, const Command* command);

// The command at `index` along `textNext` from `first`; null past the end.
Command* CommandAt(Command* first, std::size_t index);

}  // namespace kivora
