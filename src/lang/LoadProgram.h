#pragma once
#include <string>

namespace kivora {

class OKE;

// Gives `unit` the program in the file `fileName` and starts it at its
// first command; the unit's variables keep their values.
//
// Safe to call from the window thread while the simulation thread runs the
// unit: the load waits until the unit is not in its program step, empties
// the program, reads the file and then installs the new program, each swap
// as one step with respect to the program step. A replaced program is freed
// at once, since nothing can still use it once it is out of the unit (the
// program step and the sheet's description both hold the unit's program
// lock).
//
// A null file name leaves the unit without a program; so does a file that
// cannot be opened or read. Nothing is reported.
void LoadProgram(OKE& unit, const char* fileName);
inline void LoadProgram(OKE& unit, const std::string& fileName) { LoadProgram(unit, fileName.c_str()); }

}  // namespace kivora
