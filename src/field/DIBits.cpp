#include "field/DIBits.h"

#include <filesystem>
#include <system_error>

#include "field/Canvas.h"
#include "field/MaskDIBits.h"

namespace kivora {

DIBits::DIBits(std::string name) : name_(std::move(name)) {}

DIBits::~DIBits() = default;

std::string DIBits::MaskFileName(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  if (slash == std::string::npos) return "m" + fileName;
  return fileName.substr(0, slash + 1) + "m" + fileName.substr(slash + 1);
}

void DIBits::Clear() {
  infoBlock_.clear();
  pixels_.clear();
  mask_.reset();
}

bool DIBits::LoadBits(const std::string& fileName) {
  const std::optional<std::vector<std::uint8_t>> bytes = ReadFileBytes(fileName, kMaxFileBytes);
  if (!bytes) {
    lastError_ = BmpError::ShortFile;
    return false;
  }
  std::optional<BmpImage> image = DecodeBmp(*bytes, &lastError_);
  if (!image) return false;
  width_ = image->width;
  height_ = image->height;
  infoBlock_ = std::move(image->infoBlock);
  pixels_ = std::move(image->pixels);
  return true;
}

bool DIBits::Load(const std::string& fileName) {
  std::error_code ec;
  if (fileName.empty() || !std::filesystem::exists(fileName, ec)) return false;
  name_ = fileName;
  lastError_ = BmpError::None;
  Clear();
  if (!LoadBits(fileName)) {
    Clear();
    return false;
  }
  if (!isMask_) {
    auto mask = std::make_unique<MaskDIBits>();
    if (mask->Load(MaskFileName(fileName))) mask_ = std::move(mask);
  }
  return true;
}

void DIBits::DrawWith(Canvas& dc, int cx, int cy, RasterOp op) const {
  const std::int64_t left = std::int64_t{cx} - width_ / 2;
  const std::int64_t top = std::int64_t{cy} - height_ / 2;
  dc.DrawImage(pixels_.data(), width_, height_, left, top, op);
}

void DIBits::Draw(Canvas& dc, int cx, int cy) const {
  if (pixels_.empty()) return;
  if (mask_) {
    mask_->Draw(dc, cx, cy);
    DrawWith(dc, cx, cy, RasterOp::SrcPaint);
  } else {
    DrawWith(dc, cx, cy, RasterOp::SrcCopy);
  }
}

}  // namespace kivora
