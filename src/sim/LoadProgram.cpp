#include "sim/LoadProgram.h"

#include "base/CstdFile.h"
#include "lang/ProgramReader.h"
#include "sim/OKE.h"

namespace kivora {

bool LoadProgram(OKE& unit, const std::filesystem::path& file, std::string* why) {
  CommandChain chain;
  bool read = true;
  try {
    chain = ReadProgram(file.string());
  } catch (const FileException& e) {
    read = false;  // unreadable: the unit stays without a program
    if (why) *why = e.Reason();
  }
  unit.InstallProgram(chain.Release());
  return read;
}

}  // namespace kivora
