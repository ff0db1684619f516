// Feeds arbitrary bytes to the map reader as "map.txt" would hold them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ScratchFile.h"
#include "field/MapFile.h"
#include "sim/Field.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = kivora::fuzz::WriteScratchFile("map", data, size);
  kivora::Field field;
  kivora::ReadMapFile(field, path);
  // Every line on its own as well, without the reader's pieces.
  kivora::ParseMapLine(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
