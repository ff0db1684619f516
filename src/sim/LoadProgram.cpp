#include "sim/LoadProgram.h"

#include "base/CstdFile.h"
#include "lang/ProgramReader.h"
#include "sim/OKE.h"

namespace kivora {

bool LoadProgram(OKE& unit, const std::filesystem::path& file) {
  CommandChain chain;
  bool read = true;
  try {
    chain = ReadProgram(file.string());
  } catch (const FileException&) {
    read = false;  // unreadable: the unit stays without a program
  }
  unit.InstallProgram(chain.Release());
  return read;
}

}  // namespace kivora
