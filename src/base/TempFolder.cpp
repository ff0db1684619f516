#include "base/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace kivora {

std::optional<TempFolder> TempFolder::Make(std::string& why) {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string name = (base / "kivora-XXXXXX").native();
  // mkdtemp makes the folder with mode 0700.
  if (::mkdtemp(name.data()) == nullptr) {
    why = "cannot make a temporary folder in " + base.native() + ": " +
          std::error_code(errno, std::system_category()).message();
    return std::nullopt;
  }
  return TempFolder(std::filesystem::path(name));
}

TempFolder::TempFolder(TempFolder&& other) noexcept : path_(std::exchange(other.path_, {})) {}

TempFolder& TempFolder::operator=(TempFolder&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::exchange(other.path_, {});
  }
  return *this;
}

TempFolder::~TempFolder() { Remove(); }

void TempFolder::Remove() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
  path_.clear();
}

}  // namespace kivora
