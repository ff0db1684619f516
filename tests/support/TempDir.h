#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace kivora::test {

// A fresh private directory under the system's temporary directory, removed
// with everything in it when the object goes out of scope.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Writes `bytes` to the file `name` inside the directory (creating
  // subdirectories as needed) and returns its full path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

  // Creates the subdirectory `name` and returns its full path.
  std::filesystem::path MakeDir(std::string_view name) const;

private:
  std::filesystem::path path_;
};

}  // namespace kivora::test
