#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace kivora {

// The program checker behind kivora-check: loads each program file as a
// unit would and tells its author what the game silently ignores.
//   args: the command line without the program name ("--list", files...).
// Writes the listing, the diagnostics and one summary per file to `out`,
// usage to `err`. Returns the exit status: 0 all clean, 1 some file had a
// dropped line or an unknown label, 2 a file could not be read or the
// arguments were wrong (2 wins over 1).
int RunProgramCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kivora
