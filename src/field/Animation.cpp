#include "field/Animation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "field/Canvas.h"

namespace kivora {

struct AnimationWriter::Encoder {
  WebPAnimEncoder* encoder = nullptr;
  WebPConfig config{};
  ~Encoder() { WebPAnimEncoderDelete(encoder); }
};

AnimationWriter::AnimationWriter(int width, int height, int frameMilliseconds)
    : width_(width), height_(height), delay_(frameMilliseconds) {
  if (width < 1 || height < 1 || width > kMaxAnimationSide || height > kMaxAnimationSide) {
    error_ = "an animation must be 1 to " + std::to_string(kMaxAnimationSide) + " pixels on each side";
    return;
  }
  if (frameMilliseconds < 1 || frameMilliseconds > kMaxFrameMilliseconds) {
    error_ = "an animation's frame must last 1 to " + std::to_string(kMaxFrameMilliseconds) + " ms";
    return;
  }
  auto encoder = std::make_unique<Encoder>();
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&encoder->config)) {
    error_ = "libwebp does not match the version the game was built with";
    return;
  }
  options.anim_params.loop_count = 0;  // forever
  options.anim_params.bgcolor = 0xFFFFFFFF;
  // Lossless: the frames are flat colours and sprites. A moderate effort
  // keeps a 3000-frame battle to seconds; more buys a few per cent.
  encoder->config.lossless = 1;
  encoder->config.method = 2;
  encoder->config.quality = 50;
  encoder->encoder = WebPAnimEncoderNew(width, height, &options);
  if (!encoder->encoder) {
    error_ = "libwebp cannot start an animation";
    return;
  }
  encoder_ = std::move(encoder);
}

AnimationWriter::~AnimationWriter() = default;

bool AnimationWriter::Add(const Canvas& frame) {
  if (!encoder_) return false;
  if (finished_) {
    error_ = "the animation is finished";
    return false;
  }
  if (frame.Width() != width_ || frame.Height() != height_) {
    error_ = "a frame of " + std::to_string(frame.Width()) + "x" + std::to_string(frame.Height()) +
             " does not fit an animation of " + std::to_string(width_) + "x" + std::to_string(height_);
    return false;
  }
  if (frames_ >= kMaxAnimationFrames) {
    error_ = "an animation holds at most " + std::to_string(kMaxAnimationFrames) + " frames";
    return false;
  }
  WebPPicture picture;
  if (!WebPPictureInit(&picture)) {
    error_ = "libwebp cannot take a frame";
    return false;
  }
  picture.use_argb = 1;
  picture.width = width_;
  picture.height = height_;
  if (!WebPPictureAlloc(&picture)) {
    error_ = "out of memory for a frame";
    return false;
  }
  // The canvas's pixels are 0xAARRGGBB words, as WebP's own ARGB picture.
  for (int y = 0; y < height_; ++y) {
    std::memcpy(picture.argb + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.argb_stride),
                frame.Data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_),
                static_cast<std::size_t>(width_) * sizeof(Pixel));
  }
  const int ok = WebPAnimEncoderAdd(encoder_->encoder, &picture, frames_ * delay_, &encoder_->config);
  WebPPictureFree(&picture);
  if (!ok) {
    const char* why = WebPAnimEncoderGetError(encoder_->encoder);
    error_ = std::string("libwebp cannot add a frame: ") + (why && *why ? why : "unknown error");
    return false;
  }
  ++frames_;
  return true;
}

std::optional<std::vector<std::uint8_t>> AnimationWriter::Finish() {
  if (!encoder_) return std::nullopt;
  if (finished_) {
    error_ = "the animation is finished";
    return std::nullopt;
  }
  finished_ = true;
  if (frames_ == 0) {
    error_ = "an animation needs at least one frame";
    return std::nullopt;
  }
  WebPAnimEncoder* encoder = encoder_->encoder;
  // The end of the last frame: it is shown as long as the others.
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder, nullptr, frames_ * delay_, nullptr) || !WebPAnimEncoderAssemble(encoder, &data)) {
    const char* why = WebPAnimEncoderGetError(encoder);
    error_ = std::string("libwebp cannot put the animation together: ") + (why && *why ? why : "unknown error");
    WebPDataClear(&data);
    encoder_.reset();
    return std::nullopt;
  }
  // The encoder's memory goes before the file is copied out.
  encoder_.reset();
  std::optional<std::vector<std::uint8_t>> file;
  try {
    file.emplace(data.bytes, data.bytes + data.size);
  } catch (const std::bad_alloc&) {
    error_ = "out of memory for the animation";
  }
  WebPDataClear(&data);
  return file;
}

bool AnimationWriter::Save(const std::string& path) {
  const auto file = Finish();
  if (!file) return false;
  if (const auto why = WriteWholeFile(path, *file)) {
    error_ = *why;
    return false;
  }
  return true;
}

std::optional<std::string> WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const auto reason = [](int error) { return std::error_code(error, std::system_category()).message(); };
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return reason(errno);
  int error = 0;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error == 0) return std::nullopt;
  struct stat st {};
  const bool special = ::lstat(path.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ||
                                                             S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
  if (!special) std::remove(path.c_str());
  return reason(error);
}

}  // namespace kivora
