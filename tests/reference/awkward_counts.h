// Common-neighbour counts made awkward for the differential tests of the normalisation kernels:
// values and degrees a caller may pass (NaN, infinities, -0, values beyond the 32-bit range),
// and jc and ir entries with bits above the low 32, which the kernels must not read.
#pragma once

#include <math.h>
#include <string.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "frame/cpu_paths.h"
#include "tests/neighbourhoods.h"

// Replaces about one value in `share` by an awkward one.
inline void makeAwkward(std::mt19937& random, std::vector<double>& values, unsigned share) {
  const double awkward[] = {NAN, INFINITY, -INFINITY, -0.0, 0.0, 0.5, 3e9, -3e9, 2147483647.5, -2147483649.0};
  for (double& value : values)
    if (random() % share == 0) value = awkward[random() % 10];
}

// Sets random bits above the low 32 in every jc and ir entry of C.
inline void addHighBits(std::mt19937& random, Neighbourhoods& C) {
  for (uint64_t& start : C.jc) start |= (uint64_t)(random() % 4) << 32;
  for (uint64_t& row : C.ir) row |= (uint64_t)(random() % 4) << 32;
}

// Makes about one count in 8 and one degree in `degreeShare` awkward, and sets high bits in jc and ir.
inline void makeAwkward(std::mt19937& random, Neighbourhoods& C, unsigned degreeShare) {
  makeAwkward(random, C.pr, 8);
  makeAwkward(random, C.degrees, degreeShare);
  addHighBits(random, C);
}

// What a normalisation kernel printed and wrote, its values as bit patterns.
struct KernelOutput {
  std::string printed;
  std::vector<uint64_t> jc, ir, bits;
};

// Runs `kernel(irS, jcS, prS)` with exactly C's room, and keeps the first jc[n] entries, or all of
// them when `whole` (a kernel that keeps C's structure).
template <typename Kernel>
KernelOutput runOn(const Neighbourhoods& C, Kernel kernel) {
  KernelOutput out;
  out.jc.resize(C.n + 1);
  out.ir.resize(C.pr.size());
  std::vector<double> pr(C.pr.size());
  testhostTakeOutput();
  kernel(out.ir.data(), out.jc.data(), pr.data());
  out.printed = testhostTakeOutput();
  const size_t stored = (uint32_t)out.jc[C.n];
  out.ir.resize(stored);
  out.bits.resize(stored);
  if (stored > 0) memcpy(out.bits.data(), pr.data(), stored * sizeof(double));
  return out;
}

inline bool operator==(const KernelOutput& a, const KernelOutput& b) {
  return a.printed == b.printed && a.jc == b.jc && a.ir == b.ir && a.bits == b.bits;
}

// Expects every code path of `kernel` this processor runs, `onPath(path, irS, jcS, prS)`, to print
// and write what the former kernel, `former(irS, jcS, prS)`, did, bit for bit.
template <typename Former, typename OnPath>
void expectEveryPathAsBefore(PathKernel kernel, const Neighbourhoods& C, Former former, OnPath onPath) {
  const KernelOutput expected = runOn(C, former);
  for (int each = 0; each < kCpuPathCount; ++each) {
    const CpuPath path = (CpuPath)each;
    if (!kernelRunsPath(kernel, path)) continue;
    SCOPED_TRACE(cpuPathName(path));
    EXPECT_TRUE(expected == runOn(C, [&](uint64_t* ir, uint64_t* jc, double* pr) { onPath(path, ir, jc, pr); }));
  }
}
