#include "app/Random.h"

namespace kivora {

namespace {
thread_local std::uint32_t randomState = 1;
}

int RandomDraw() {
  randomState = randomState * 1103515245u + 12345u;  // unsigned: wraps modulo 2^32
  return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

int randomRange(int lo, int hi) {
  const std::int64_t n = static_cast<std::int64_t>(hi) - lo + 1;
  if (n < 1) return lo;
  if (n > 32767) {
    const std::int64_t r = RandomDraw();
    return static_cast<int>(lo + r * n / 32768);
  }
  const std::int64_t q = 32767 / n;
  const std::int64_t limit = n * q;
  std::int64_t r;
  do r = RandomDraw();
  while (r >= limit);
  return static_cast<int>(lo + r / q);
}

void SeedRandom(std::uint32_t seed) { randomState = seed; }

std::uint32_t GetRandomState() { return randomState; }

void SetRandomState(std::uint32_t state) { randomState = state; }

}  // namespace kivora
