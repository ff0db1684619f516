#pragma once
#include <cstdint>

namespace kivora {

// Random numbers: one linear congruential generator per thread, the classic
// C library one (state = state * 1103515245 + 12345, result = bits 16..30 of
// the state, 0..32767). Every thread starts at state 1, so a thread that is
// never seeded draws the same sequence in every run: the simulation thread
// relies on that for repeatable battles.

// The next raw draw of the calling thread's generator, 0..32767.
int RandomDraw();

// An integer in [lo, hi], every value equally likely, for 1 <= hi - lo + 1 <= 32767.
// Outside that span the result is still defined and the call always returns:
//   hi < lo                 -> lo, and nothing is drawn;
//   hi - lo + 1 > 32767     -> one draw r, scaled: lo + r * (hi - lo + 1) / 32768
//                              (in range, but not every value can come out).
int randomRange(int lo, int hi);

// Seeds the calling thread's generator (its state becomes `seed`).
void SeedRandom(std::uint32_t seed);

// The calling thread's generator state, to save and restore around code that
// must not disturb the sequence (tests, tools).
std::uint32_t GetRandomState();
void SetRandomState(std::uint32_t state);

}  // namespace kivora
