#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "field/Bmp.h"
#include "field/Canvas.h"

namespace kivora {

class MaskDIBits;

// One picture of the field, loaded once from a bitmap file together with its
// transparency mask ("m" in front of the file name: mkivo1.bmp for
// kivo1.bmp) and decoded into the canvas's pixel format.
//
// Drawing without a mask copies the picture. With a mask, the mask is ANDed
// in first and the picture ORed over it, so a masked picture is black where
// it is transparent and its mask black where the picture is opaque.
class DIBits {
 public:
  explicit DIBits(std::string name = {});
  virtual ~DIBits();
  DIBits(const DIBits&) = delete;
  DIBits& operator=(const DIBits&) = delete;

  // Reads the bitmap file and its mask. A missing file returns false and
  // changes nothing; any other failure leaves the picture without pixels.
  // A mask that is missing or cannot be read leaves the picture unmasked.
  bool Load(const std::string& fileName);

  // Draws the picture centred on (cx, cy) of the canvas.
  virtual void Draw(Canvas& dc, int cx, int cy) const;

  const std::string& Name() const { return name_; }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  // The 40 header bytes as read, then the colour table.
  const std::vector<std::uint8_t>& InfoBlock() const { return infoBlock_; }
  // width * height pixels, top row first, whatever the row order in the file.
  const std::vector<Pixel>& Pixels() const { return pixels_; }
  const MaskDIBits* Mask() const { return mask_.get(); }
  // Why the last Load failed (None after a success or a missing file).
  BmpError LastError() const { return lastError_; }

  // The name of the mask file for a picture file: "m" before the file's own
  // name, in the same directory.
  static std::string MaskFileName(const std::string& fileName);

  // The largest bitmap file read; the game's pictures are far smaller.
  static constexpr std::uint64_t kMaxFileBytes = 64u << 20;

 protected:
  void DrawWith(Canvas& dc, int cx, int cy, RasterOp op) const;
  bool isMask_ = false;

 private:
  bool LoadBits(const std::string& fileName);
  void Clear();

  std::string name_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::uint8_t> infoBlock_;
  std::vector<Pixel> pixels_;
  std::unique_ptr<MaskDIBits> mask_;
  BmpError lastError_ = BmpError::None;
};

}  // namespace kivora
