// The smaller-degree kernel on plain arrays, the plug-in against the plain overlap formula on
// random graphs, and the size limits of its gateway.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>

#include "normalise/divide_by_min_degree.h"
#include "tests/neighbourhoods.h"
#include "tests/reference/awkward_counts.h"
#include "tests/reference/former_kernels.h"

namespace {

// Every count over the smaller of its two degrees, each rounded down: the plain overlap formula
// for degrees that are counts, whole or not.
PlainSparse plainOverlap(const Neighbourhoods& C) {
  PlainSparse divided = C;
  divided.pr.clear();
  for (size_t j = 0; j < C.n; ++j)
    for (uint64_t k = C.jc[j]; k < C.jc[j + 1]; ++k)
      divided.pr.push_back(C.pr[k] / std::min(floor(C.degrees[C.ir[k]]), floor(C.degrees[j])));
  return divided;
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
  divideByMinDegree(sparseOver(2, 2, jcC, irC, prC), d, outputOver(2, jcS, irS, prS, 2));
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
    std::vector<uint64_t> jc(n + 1), ir(C.pr.size());
    std::vector<double> pr(C.pr.size());
    divideByMinDegree(viewOf(C), C.degrees.data(), outputOver(n, jc.data(), ir.data(), pr.data(), ir.size()));
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(plainOverlap(C), storedPart(n, n, jc.data(), ir.data(), pr.data(), ir.size()));
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
        kDivideByMinDegreeKernel, C,
        [&](uint64_t* ir, uint64_t* jc, double* pr) {
          former::divideByMinDegree(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, ir, jc, pr);
        },
        [&](CpuPath path, uint64_t* ir, uint64_t* jc, double* pr) {
          divideByMinDegreeOnPath(path, viewOf(C), C.degrees.data(), outputOver(n, jc, ir, pr, C.pr.size()));
        });
  }
}

TEST(VostrelPlugin, MatchesThePlainFormulaOnRandomGraphs) {
  std::mt19937 random(23);
  for (int round = 0; round < 150; ++round) {
    const size_t n = 1 + random() % 40;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 30) / 100.0, 0.05);
    disturbDegrees(random, C);
    const PluginCall S =
        callPlugin("Vostrel", {testhostSparse(n, n, C.jc, C.ir, C.pr), testhostFull(1, n, C.degrees)});
    ASSERT_TRUE(S.returned) << S.error.identifier;
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(plainOverlap(C), S.result);
    EXPECT_EQ(std::max<size_t>(C.pr.size(), 1), S.nzmax);
    EXPECT_TRUE(S.guardsIntact);
  }
}

TEST(VostrelPlugin, RefusesTwoToThe31StoredEntries) {
  const auto claiming = [](uint64_t stored) {
    return callPlugin("Vostrel", {sparseClaiming(1, 1, stored), testhostFull(1, 1, {1})}).error.identifier;
  };
  EXPECT_EQ("MATLAB:Vostrel:toomany", claiming(UINT64_C(1) << 31));
  EXPECT_EQ("MATLAB:Vostrel:toomany", claiming(UINT64_C(1) << 32));
  // One entry fewer passes every check; the host then cannot give that much room.
  EXPECT_EQ("MATLAB:nomem", claiming((UINT64_C(1) << 31) - 1));
}

#if defined(__linux__)
// An n-by-n C and a 1-by-n d, both storing nothing: the size checks come before d is looked at.
std::string divideEmptyOfSize(size_t n) {
  const ReservedColumnStarts starts(n);
  return callPlugin("Vostrel", {starts.matrix(n, n), starts.matrix(1, n)}).error.identifier;
}

TEST(VostrelPlugin, RefusesSizesOf2To31) {
  EXPECT_EQ("MATLAB:Vostrel:toolarge", divideEmptyOfSize(UINT64_C(1) << 31));
  // The largest size accepted: the next check, on d, refuses it.
  EXPECT_EQ("MATLAB:Vostrel:notfull", divideEmptyOfSize((UINT64_C(1) << 31) - 1));
}
#endif

}  // namespace
