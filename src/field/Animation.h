#pragma once
// Battles as moving pictures: frames drawn on the software canvas, put
// together as one animated WebP (lossless, through libwebp's animation
// encoder). kivora-arena writes a whole battle this way; a viewer can write
// the battle it shows, or a range of its ticks, the same way.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kivora {

class Canvas;

// Limits that keep an animation's memory and its timestamps in bounds: the
// encoder holds every encoded frame until the file is put together (a
// battle's frame differs little from the one before, so most frames take a
// few hundred bytes), and the file's timestamps are 31-bit milliseconds.
inline constexpr int kMaxAnimationFrames = 100000;
inline constexpr int kMaxFrameMilliseconds = 20000;
inline constexpr int kMaxAnimationSide = 16383;

class AnimationWriter {
 public:
  // An animation of width x height frames, each shown for frameMilliseconds.
  // Sizes 1..kMaxAnimationSide and delays 1..kMaxFrameMilliseconds; any
  // other makes a writer that takes no frame and says why in Error().
  AnimationWriter(int width, int height, int frameMilliseconds);
  ~AnimationWriter();
  AnimationWriter(const AnimationWriter&) = delete;
  AnimationWriter& operator=(const AnimationWriter&) = delete;

  // Adds one frame. The canvas is copied: it may be drawn on again at once.
  // False, with the reason in Error(), for a canvas of another size, after
  // kMaxAnimationFrames frames, after Finish, or when the encoder fails;
  // the frames added before stay.
  bool Add(const Canvas& frame);

  // Frames added so far. Consecutive frames that are exactly alike are kept
  // as one frame shown for longer, so the file may hold fewer.
  int Frames() const { return frames_; }
  int FrameMilliseconds() const { return delay_; }
  const std::string& Error() const { return error_; }

  // The animated WebP file of every frame added so far, looping forever;
  // nothing, with the reason in Error(), when no frame was added or the
  // encoder fails. Ends the writer: no frame is added after it.
  std::optional<std::vector<std::uint8_t>> Finish();

  // Finish, and the file written to `path`. False, with the reason in
  // Error(), when it cannot be made or written; then no file is left behind
  // (a device or a pipe named as `path` is left alone).
  bool Save(const std::string& path);

 private:
  struct Encoder;
  std::unique_ptr<Encoder> encoder_;
  int width_;
  int height_;
  int delay_;
  int frames_ = 0;
  bool finished_ = false;
  std::string error_;
};

// Writes `bytes` to `path` as a whole; on failure returns the reason and
// removes what was written, unless `path` is a device, a pipe or a socket.
std::optional<std::string> WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kivora
