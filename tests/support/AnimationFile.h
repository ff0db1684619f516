#pragma once
// Animated WebP files read back with libwebp's demuxer and decoder, for the
// tests of what writes them.
#include <webp/demux.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "field/Bmp.h"

namespace kivora::test {

struct AnimationFile {
  bool valid = false;
  std::uint32_t width = 0, height = 0;
  std::uint32_t frameCount = 0;  // frames stored in the file
  std::uint32_t loopCount = 0;
  bool animated = false;
  std::vector<std::vector<Pixel>> frames;  // each stored frame as shown, 0xAARRGGBB
  std::vector<int> ends;                   // the time each frame ends, in ms
};

inline AnimationFile ReadAnimation(const std::vector<std::uint8_t>& bytes) {
  AnimationFile file;
  WebPData data{bytes.data(), bytes.size()};
  WebPDemuxer* demux = WebPDemux(&data);
  if (!demux) return file;
  file.width = WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH);
  file.height = WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT);
  file.frameCount = WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT);
  file.loopCount = WebPDemuxGetI(demux, WEBP_FF_LOOP_COUNT);
  file.animated = (WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0;
  WebPDemuxDelete(demux);

  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) return file;
  options.color_mode = MODE_BGRA;  // in memory on a little-endian machine: 0xAARRGGBB
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  if (!decoder) return file;
  const std::size_t pixels = std::size_t{file.width} * file.height;
  bool ok = true;
  while (ok && WebPAnimDecoderHasMoreFrames(decoder)) {
    std::uint8_t* rgba = nullptr;
    int end = 0;
    ok = WebPAnimDecoderGetNext(decoder, &rgba, &end) != 0;
    if (!ok) break;
    std::vector<Pixel> frame(pixels);
    std::memcpy(frame.data(), rgba, pixels * sizeof(Pixel));
    file.frames.push_back(std::move(frame));
    file.ends.push_back(end);
  }
  WebPAnimDecoderDelete(decoder);
  file.valid = ok && file.frames.size() == file.frameCount;
  return file;
}

}  // namespace kivora::test
