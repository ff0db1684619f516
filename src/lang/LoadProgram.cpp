#include "lang/LoadProgram.h"

#include "app/CstdFile.h"
#include "lang/ProgramReader.h"
#include "sim/OKE.h"

namespace kivora {

namespace {

// Swaps in `first` (null: no program) between two program steps and frees
// what it replaces.
void Install(OKE& unit, Command* first) {
  auto lock = unit.LockProgram();
  unit.InstallProgram(first);
}

}  // namespace

void LoadProgram(OKE& unit, const char* fileName) {
  // While the file is read the unit has no program, so its program steps do
  // nothing rather than run the one being replaced.
  Install(unit, nullptr);
  if (fileName == nullptr) return;

  CommandChain chain;
  try {
    chain = ReadProgram(fileName);
  } catch (const FileException&) {
    return;  // unreadable: the unit stays without a program
  }
  Install(unit, chain.Release());
}

}  // namespace kivora
