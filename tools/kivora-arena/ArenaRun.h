#pragma once
#include <cstdio>

#include "kivora-arena/ArenaOptions.h"

namespace kivora {

// Runs kivora-arena: builds the field from the options' directory as the
// game does at start-up, deploys the units of --player and --rival, runs the
// world tick by tick with the trace, frames and campaign steps asked for,
// and prints the summary on `out`. Messages go to `err`. Returns the exit
// status: 0 after a full run, 1 when the trace or a frame could not be
// written, 2 for a directory that cannot be entered, a trace file that cannot
// be created or a unit's model that cannot be loaded (then nothing is traced).
//
// Model and program files are read from the data directory; the trace and
// the frames are written relative to the working directory, which nothing
// changes.
int RunArena(const ArenaOptions& options, std::FILE* out, std::FILE* err);

}  // namespace kivora
