#include "base/Random.h"

namespace kivora {

int Random::Draw() {
  state_ = state_ * 1103515245u + 12345u;  // unsigned: wraps modulo 2^32
  return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

int randomRange(Random& random, int lo, int hi) {
  const std::int64_t n = static_cast<std::int64_t>(hi) - lo + 1;
  if (n < 1) return lo;
  if (n > 32767) {
    const std::int64_t r = random.Draw();
    return static_cast<int>(lo + r * n / 32768);
  }
  const std::int64_t q = 32767 / n;
  const std::int64_t limit = n * q;
  std::int64_t r;
  do r = random.Draw();
  while (r >= limit);
  return static_cast<int>(lo + r / q);
}

}  // namespace kivora
