#pragma once
#include <cstdint>

namespace kivora {

// Milliseconds since an arbitrary start, as a 32-bit counter that wraps
// after about 49.7 days. Rules that depend on time take such a value as an
// argument ("now"), so tests can drive the clock instead of sleeping.
std::uint32_t TickCount();

// Milliseconds from `then` to `now`, correct across one wrap of the counter.
constexpr std::uint32_t TicksSince(std::uint32_t then, std::uint32_t now) { return now - then; }

}  // namespace kivora
