// Feeds arbitrary bytes to the unit model reader as a model file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "sim/OKEspec.h"

namespace {

std::string ScratchFile() {
  char name[] = "/tmp/kivora-fuzz-spec-XXXXXX";
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
  kivora::OKEspec record;
  kivora::LoadSpec(record, path);
  return 0;
}
