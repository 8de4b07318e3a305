// Counting the set bits of a word on any processor.
#pragma once

#include <stdint.h>

// The number of set bits of a word, without the POPCNT instruction the baseline lacks.
inline uint64_t popcount64(uint64_t x) {
  x = x - ((x >> 1) & UINT64_C(0x5555555555555555));
  x = (x & UINT64_C(0x3333333333333333)) + ((x >> 2) & UINT64_C(0x3333333333333333));
  x = (x + (x >> 4)) & UINT64_C(0x0f0f0f0f0f0f0f0f);
  return (x * UINT64_C(0x0101010101010101)) >> 56;
}
