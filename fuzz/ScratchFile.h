#pragma once
// Fuzz targets hand their input to the file readers through one scratch file
// per process, rewritten for every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace kivora::fuzz {

// Writes `data` to this process's scratch file (named after `tag`) and
// returns its path.
inline const std::string& WriteScratchFile(const char* tag, const std::uint8_t* data, std::size_t size) {
  static const std::string path = [tag] {
    std::string name = std::string("/tmp/kivora-fuzz-") + tag + "-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) ::close(fd);
    return name;
  }();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return path;
}

}  // namespace kivora::fuzz
