// The smaller-degree kernel on plain arrays, the plug-in against the plain overlap formula on
// random graphs, and the size limits of its gateway.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>

#include "normalise/divide_by_min_degree.h"
#include "tests/neighbourhoods.h"
#include "tests/reference/awkward_counts.h"
#include "tests/reference/today_kernels.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

const std::string kPlugin = PLUGIN_DIR "/Vostrel.so";

// Every count over the smaller of its two degrees, each rounded down: the plain overlap formula
// for degrees that are counts, whole or not.
Returned plainOverlap(const Neighbourhoods& C) {
  Returned divided;
  divided.jc = C.jc;
  divided.ir = C.ir;
  for (size_t j = 0; j < C.n; ++j)
    for (uint64_t k = C.jc[j]; k < C.jc[j + 1]; ++k)
      divided.pr.push_back(C.pr[k] / std::min(floor(C.degrees[C.ir[k]]), floor(C.degrees[j])));
  return divided;
}

void expectSame(const Returned& expected, const Returned& actual) {
  ASSERT_EQ(expected.jc, actual.jc);
  EXPECT_EQ(expected.ir, actual.ir);
  ASSERT_EQ(expected.pr.size(), actual.pr.size());
  for (size_t k = 0; k < expected.pr.size(); ++k)
    EXPECT_TRUE(expected.pr[k] == actual.pr[k] || (isnan(expected.pr[k]) && isnan(actual.pr[k])))
        << "entry " << k << ": " << actual.pr[k] << ", expected " << expected.pr[k];
}

// Degrees as given, or with fractions and some below 1, so truncation and zero divisors occur.
void disturbDegrees(std::mt19937& random, Neighbourhoods& C) {
  if (random() % 2) return;
  std::uniform_real_distribution<double> fraction(0.0, 1.0);
  for (double& degree : C.degrees) degree = random() % 4 ? degree + fraction(random) : fraction(random);
}

TEST(VostrelKernel, CopiesStructureWholeAndReadsByTheLow32Bits) {
  const uint64_t high = UINT64_C(1) << 32;
  const uint64_t jcC[3] = {high, high + 1, 3 * high + 2};
  const uint64_t irC[2] = {5 * high + 1, 7 * high};
  const double prC[2] = {6, 6};
  const double d[2] = {2, 3};
  uint64_t jcS[3], irS[2];
  double prS[2];
  testhostTakeOutput();
  divideByMinDegree(irC, jcC, prC, d, 2, irS, jcS, prS);
  EXPECT_EQ("nnz = 2\n", testhostTakeOutput());
  EXPECT_EQ(std::vector<uint64_t>(jcC, jcC + 3), std::vector<uint64_t>(jcS, jcS + 3));
  EXPECT_EQ(std::vector<uint64_t>(irC, irC + 2), std::vector<uint64_t>(irS, irS + 2));
  EXPECT_EQ((std::vector<double>{3, 3}), std::vector<double>(prS, prS + 2));
}

TEST(VostrelKernel, MatchesThePlainFormulaOnRandomGraphs) {
  std::mt19937 random(4202);
  for (int round = 0; round < 300; ++round) {
    const size_t n = random() % 30;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 40) / 100.0, 0.1);
    disturbDegrees(random, C);
    // Exactly the room the gateway gives, so a write past it is a sanitizer error.
    Returned S;
    S.jc.resize(n + 1);
    S.ir.resize(C.pr.size());
    S.pr.resize(C.pr.size());
    divideByMinDegree(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, S.ir.data(), S.jc.data(),
                      S.pr.data());
    SCOPED_TRACE("round " + std::to_string(round));
    expectSame(plainOverlap(C), S);
  }
  testhostTakeOutput();
}

// Every code path against the kernel as it was, bit for bit: degrees that are NaN, infinite,
// fractional, 0 or beyond the 32-bit range, awkward counts, odd and even column lengths, and
// entries with high bits set, copied whole.
TEST(VostrelKernel, EveryPathMatchesTheFormerKernelBitForBit) {
  std::mt19937 random(2030);
  for (int round = 0; round < 200; ++round) {
    const size_t n = random() % 30;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 40) / 100.0, 0.1);
    disturbDegrees(random, C);
    makeAwkward(random, C, 6);
    SCOPED_TRACE("round " + std::to_string(round));
    expectEveryPathAsBefore(
        C,
        [&](uint64_t* ir, uint64_t* jc, double* pr) {
          today::divideByMinDegree(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, ir, jc, pr);
        },
        [&](CpuPath path, uint64_t* ir, uint64_t* jc, double* pr) {
          divideByMinDegreeOnPath(path, C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, ir, jc, pr);
        });
  }
}

TEST(VostrelPlugin, MatchesThePlainFormulaOnRandomGraphs) {
  std::mt19937 random(23);
  for (int round = 0; round < 150; ++round) {
    const size_t n = 1 + random() % 40;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 30) / 100.0, 0.05);
    disturbDegrees(random, C);
    Returned S;
    ASSERT_EQ("", callPlugin(kPlugin, {testhostSparse(n, n, C.jc, C.ir, C.pr), testhostFull(1, n, C.degrees)}, &S));
    SCOPED_TRACE("round " + std::to_string(round));
    expectSame(plainOverlap(C), S);
    EXPECT_EQ(std::max<size_t>(C.pr.size(), 1), S.nzmax);
    EXPECT_TRUE(S.guardsIntact);
  }
}

// A 1-by-1 matrix claiming `stored` entries: only the gateway's checks read it.
std::string divideClaiming(uint64_t stored) {
  const uint64_t jc[2] = {0, stored};
  Returned S;
  return callPlugin(kPlugin, {testhostSparseOver(1, 1, jc), testhostFull(1, 1, {1})}, &S);
}

TEST(VostrelPlugin, RefusesTwoToThe31StoredEntries) {
  EXPECT_EQ("MATLAB:Vostrel:toomany", divideClaiming(UINT64_C(1) << 31));
  EXPECT_EQ("MATLAB:Vostrel:toomany", divideClaiming(UINT64_C(1) << 32));
  // One entry fewer passes every check; the host then cannot give that much room.
  EXPECT_EQ("MATLAB:nomem", divideClaiming((UINT64_C(1) << 31) - 1));
}

#if defined(__linux__)
// An n-by-n matrix and a 1-by-n d, both storing nothing, their n+1 column starts in memory the
// system only reserves: the size checks come before d is looked at.
std::string divideEmptyOfSize(size_t n) {
  const size_t bytes = (n + 1) * sizeof(uint64_t);
  void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return "no memory to map";
  const uint64_t* jc = (const uint64_t*)memory;
  Returned S;
  std::string printed;
  const std::string raised =
      callPlugin(kPlugin, {testhostSparseOver(n, n, jc), testhostSparseOver(1, n, jc)}, &S, &printed);
  munmap(memory, bytes);
  return raised + printed;
}

TEST(VostrelPlugin, RefusesSizesOf2To31) {
  EXPECT_EQ("MATLAB:Vostrel:toolarge", divideEmptyOfSize(UINT64_C(1) << 31));
  // The largest size accepted: the next check, on d, refuses it.
  EXPECT_EQ("MATLAB:Vostrel:notfull", divideEmptyOfSize((UINT64_C(1) << 31) - 1));
}
#endif

}  // namespace
