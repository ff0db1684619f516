#pragma once
#include <atomic>
#include <cstdio>

#include "kivora-arena/ArenaOptions.h"

namespace kivora {

// Runs kivora-arena: builds the field from the options' directory as the
// game does at start-up (less what the options leave out), deploys the units
// of --player and --rival, runs the world tick by tick with the trace,
// frames and campaign steps asked for, and prints the summary on `out`.
// Messages go to `err`.
//
// `stop` (may be null) is looked at before every tick: once it holds a
// signal number the run ends there, as if that were its last tick, with the
// trace, the JSON and the summary written; the summary says so.
//
// Returns the exit status: 0 after a full run (or one ended because it was
// decided); 128 + the signal number after a stop; 1 when the trace, a frame,
// the JSON or the summary could not be written (the run stops at the first
// such failure; 1 wins over a stop); 2 for a directory that cannot be
// entered, a unit's model or program that cannot be loaded, or an output
// file that cannot be created (then no tick runs and nothing is traced).
//
// Model and program files are read from the data directory; the trace, the
// frames and the JSON are written relative to the working directory, which
// nothing changes.
int RunArena(const ArenaOptions& options, std::FILE* out, std::FILE* err, const std::atomic<int>* stop = nullptr);

}  // namespace kivora
