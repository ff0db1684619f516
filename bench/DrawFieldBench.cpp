// One frame of the field view with 200 masked sprites, 40 walls and the
// full background: the simulation thread draws one such frame per tick.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "economy/Economy.h"
#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/PictureCache.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/Parts.h"
#include "sim/Wall.h"

namespace kivora {
namespace {

// Pictures of the arena's sizes, each sprite with its mask.
void WritePictures(const std::filesystem::path& dir) {
  auto solid = [&dir](const std::string& name, int w, int h, Pixel colour) {
    WriteFileBytes((dir / name).string(),
                   EncodeBmp24(w, h, std::vector<Pixel>(static_cast<std::size_t>(w * h), colour)));
  };
  solid("bg.bmp", 320, 320, Rgb(176, 172, 160));
  const struct { const char* name; int size; } sprites[] = {
      {"kivo1.bmp", 15}, {"kivo2.bmp", 15}, {"bulet.bmp", 5}, {"parts.bmp", 9}};
  for (const auto& s : sprites) {
    solid(s.name, s.size, s.size, Rgb(40, 100, 230));
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(s.size * s.size));
    for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = (i % 3 == 0) ? 1 : 0;
    WriteFileBytes((dir / (std::string("m") + s.name)).string(),
                   EncodeIndexedBmp(s.size, s.size, 1, std::vector<Pixel>{kBlack, kWhite}, mask));
  }
}

void BM_DrawField200Sprites(benchmark::State& state) {
  char pattern[] = "/tmp/kivora-bench-XXXXXX";
  if (!::mkdtemp(pattern)) {
    state.SkipWithError("no temporary directory");
    return;
  }
  const std::filesystem::path dir = pattern;
  WritePictures(dir);
  PictureCache pictures(dir);

  Field field;
  OKEspec spec;
  spec.name = "bench.spc";
  unsigned seed = 12345;
  auto coordinate = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::int32_t>((seed >> 8) % 32000) - 16000;
  };
  for (int i = 0; i < 40; ++i) {
    Ref<Wall> w = MakeRef<Wall>();
    w->x = coordinate();
    w->y = coordinate();
    field.Add(std::move(w));
  }
  for (int i = 0; i < 200; ++i) {
    const int kind = i % 4;
    if (kind < 2) {
      Ref<OKE> u = MakeRef<OKE>(kind == 0 ? 1 : 0, spec);
      u->x = coordinate();
      u->y = coordinate();
      field.Deploy(std::move(u));
    } else if (kind == 2) {
      Ref<Bullette> b = MakeRef<Bullette>(nullptr, 0, 10, 100, 10, 0, 1);
      b->x = coordinate();
      b->y = coordinate();
      field.Add(std::move(b));
    } else {
      Ref<Parts> p = MakeRef<Parts>();
      p->x = coordinate();
      p->y = coordinate();
      field.Add(std::move(p));
    }
  }

  Canvas canvas(kViewSize, kViewSize);
  const FieldPictures gathered = FieldPictures::Gather(pictures);
  for (auto _ : state) {
    DrawField(canvas, field, gathered);
    benchmark::DoNotOptimize(canvas.Data());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_DrawField200Sprites)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kivora
