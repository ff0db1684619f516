#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace kivora {

// The 64-bit FNV-1a digest: a few lines, no dependency, fast on the small
// pieces it is fed, and good at what replays need of it: telling a damaged
// byte or another battle from the recorded one. It is no defence against a
// forger, and needs to be none: a replay is always played out again and
// compared, so a forged file can only describe another battle, which is
// then shown as it plays.
class Fnv1a {
public:
  static constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325ull;
  static constexpr std::uint64_t kPrime = 0x00000100000001b3ull;

  constexpr Fnv1a& Add(std::string_view bytes) {
    for (const char c : bytes) Byte(static_cast<unsigned char>(c));
    return *this;
  }
  constexpr Fnv1a& Add(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) Byte(b);
    return *this;
  }
  constexpr std::uint64_t Value() const { return state_; }

private:
  constexpr void Byte(std::uint8_t b) {
    state_ ^= b;
    state_ *= kPrime;
  }

  std::uint64_t state_ = kOffsetBasis;
};

}  // namespace kivora
