// What every fuzz target draws its numbers from: a small random generator seeded by the fuzzer
// (so that a few input bytes make a whole table), and palettes of values a caller may pass.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

// splitmix64: a generator whose whole state is one word the fuzzer chooses.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += UINT64_C(0x9e3779b97f4a7c15));
    z = (z ^ (z >> 30)) * UINT64_C(0xbf58476d1ce4e5b9);
    z = (z ^ (z >> 27)) * UINT64_C(0x94d049bb133111eb);
    return z ^ (z >> 31);
  }
  // A number from 0 to `count` - 1 (0 when count is 0).
  uint64_t below(uint64_t count) { return count ? next() % count : 0; }
  // Whether an event of probability share/256 happens.
  bool chance(unsigned share) { return (next() & 255) < share; }
};

// A generator seeded from the fuzzer's bytes.
Random randomFrom(FuzzedDataProvider& in);

// A value a caller may pass: a boundary (NaN, infinities, -0, 2^31 +- 1, 2^63, 2^64, huge, tiny),
// a small whole number or fraction, or any double the fuzzer makes.
double someValue(FuzzedDataProvider& in);

// Up to four values, from which the elements of an array are drawn (four slots, a value repeated
// to fill them, so that a pick takes no division).
struct Palette {
  double values[4];
  double pick(Random& random) const { return values[random.next() & 3]; }
};
Palette somePalette(FuzzedDataProvider& in);

// The bytes of a logical array: 0 and 1 mostly, and other nonzero bytes.
uint8_t someByte(Random& random);

// A threshold: the boundaries of a similarity and any value.
double someThreshold(FuzzedDataProvider& in);

// A list of `count` strictly ascending node numbers from 1 to numNodes (count <= numNodes), each
// with a fraction the kernels truncate away.
std::vector<double> ascendingNodes(Random& random, uint64_t numNodes, uint64_t count);

// The structure of an m-by-n sparse matrix: column starts from 0, rows strictly ascending in each
// column and below m, about `density`/256 of all positions stored, never more than `mostStored`.
// A symmetric pattern (m == n) stores (r, j) exactly when it stores (j, r).
struct SparsePattern {
  std::vector<uint64_t> jc, ir;
};
SparsePattern somePattern(Random& random, uint64_t m, uint64_t n, unsigned density, bool symmetric,
                          size_t mostStored);
