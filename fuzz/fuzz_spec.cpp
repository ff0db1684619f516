// Feeds arbitrary bytes to the unit model reader as a model file.
#include <cstddef>
#include <cstdint>

#include "ScratchFile.h"
#include "sim/OKEspec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = kivora::fuzz::WriteScratchFile("spec", data, size);
  kivora::OKEspec record;
  kivora::LoadSpec(record, path);
  return 0;
}
