#pragma once
#include <iosfwd>
#include <string>

namespace kivora {

// True when `fileName` names a unit model: it ends in ".spc", in any letter case.
bool IsModelFileName(const std::string& fileName);

// Checks the model file `fileName` line by line with the rules the game
// reads it by, and writes to `out`:
//   FILE:LINE: rejected: WHAT THE LINE MUST HOLD    for every line the game refuses
//   FILE:LINE: warning: TEXT                        with `warnings` only
//   FILE: N lines, R rejected
// or the single line "FILE: cannot open". Returns the exit status: 0 the
// game loads the model, 1 it refuses it, 2 the file cannot be read.
int CheckModel(const std::string& fileName, bool warnings, std::ostream& out);

}  // namespace kivora
