#include "field/PictureCache.h"

namespace kivora {

PictureCache::PictureCache(std::filesystem::path directory) : directory_(std::move(directory)) {}

const DIBits* PictureCache::GetPicture(const std::string& fileName) {
  for (const auto& [name, picture] : pictures_) {
    if (name == fileName) return picture.get();
  }
  auto picture = std::make_unique<DIBits>();
  const std::string path = directory_.empty() ? fileName : (directory_ / fileName).string();
  if (!picture->Load(path)) return nullptr;
  pictures_.emplace_back(fileName, std::move(picture));
  return pictures_.back().second.get();
}

}  // namespace kivora
