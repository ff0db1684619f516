// Feeds arbitrary bytes to the map reader as "map.txt" would hold them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "economy/Economy.h"
#include "field/MapFile.h"
#include "sim/Field.h"

namespace {

std::string ScratchFile() {
  char name[] = "/tmp/kivora-fuzz-map-XXXXXX";
  const int fd = ::mkstemp(name);
  if (fd >= 0) ::close(fd);
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = ScratchFile();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  kivora::Economy economy;
  kivora::Field field(economy);
  kivora::ReadMapFile(field, path);
  // Every line on its own as well, without the reader's pieces.
  kivora::ParseMapLine(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
