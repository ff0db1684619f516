#pragma once
// Fuzz targets hand their input to the file readers through one scratch file
// per process, rewritten for every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// A scratch file of its own for targets that need several at once, its
// name ending in `suffix` (".spc").
class ScratchFile {
public:
  ScratchFile(const char* tag, const char* suffix) {
    path_ = std::string("/tmp/kivora-fuzz-") + tag + "-XXXXXX" + suffix;
    const int fd = ::mkstemps(path_.data(), static_cast<int>(std::string(suffix).size()));
    if (fd >= 0) ::close(fd);
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's bytes with `bytes` and returns its path.
  const std::string& Write(const std::string& bytes) {
    if (std::FILE* f = std::fopen(path_.c_str(), "wb")) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path_;
  }

private:
  std::string path_;
};

}  // namespace kivora::fuzz
