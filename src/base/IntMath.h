#pragma once
#include <cstdint>

namespace kivora {

// Integer arithmetic without undefined behaviour, whatever the data: values
// from data files and positions on a field without walls may run past the
// 32-bit range, and then they wrap or saturate on purpose.

// Two's-complement narrowing: the low 32 bits of a 64-bit value.
constexpr std::int32_t WrapToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}
constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) { return WrapToInt32(std::int64_t{a} + b); }
constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) { return WrapToInt32(std::int64_t{a} - b); }

// Saturating narrowing for sums and products computed in 64 bits.
constexpr std::int32_t ClampToInt32(std::int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(v);
}

}  // namespace kivora
