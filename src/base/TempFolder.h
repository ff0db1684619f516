#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace kivora {

// A fresh folder of its own under the system's temporary folder ($TMPDIR or
// /tmp), readable by its owner only, removed with everything in it when the
// object goes. A replay unpacks its data files into one and plays there, so
// nothing of it touches the player's own folders.
class TempFolder {
public:
  // Nothing, with the reason in `why`, when no folder can be made.
  static std::optional<TempFolder> Make(std::string& why);

  TempFolder(TempFolder&& other) noexcept;
  TempFolder& operator=(TempFolder&& other) noexcept;
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::filesystem::path& Path() const { return path_; }

private:
  explicit TempFolder(std::filesystem::path path) : path_(std::move(path)) {}
  void Remove();

  std::filesystem::path path_;  // empty once moved from
};

}  // namespace kivora
