#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "field/DIBits.h"

namespace kivora {

// The field's pictures by file name, each file read once and kept for the
// life of the cache. A name is compared byte for byte, so "KIVO1.BMP" is
// another picture than "kivo1.bmp" even where the file system would find the
// same file. A picture that fails to load is not remembered: the next request
// tries the file again, so a picture dropped into the directory later shows.
// Drawing gathers its pictures once when it starts (FieldPictures), so a
// missing file costs one try per gathering, not one per frame.
//
// Only the simulation thread draws, so the cache has no lock of its own.
class PictureCache {
 public:
  // Pictures are read from `directory`; empty means the working directory.
  explicit PictureCache(std::filesystem::path directory = {});

  // The picture of that file name, or null when it cannot be loaded.
  const DIBits* GetPicture(const std::string& fileName);

  std::size_t Size() const { return pictures_.size(); }

 private:
  std::filesystem::path directory_;
  std::vector<std::pair<std::string, std::unique_ptr<DIBits>>> pictures_;
};

}  // namespace kivora
