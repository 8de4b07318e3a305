// The Jaccard kernel on plain arrays, the plug-in against the plain formula on random graphs, and
// the size limits of its gateway.
#include <gtest/gtest.h>

#include <math.h>

#include "normalise/tessaly.h"
#include "tests/neighbourhoods.h"
#include "tests/reference/awkward_counts.h"
#include "tests/reference/former_kernels.h"

namespace {

// The similarities the plain formula keeps, column by column in C's order.
PlainSparse plainJaccard(const Neighbourhoods& C, double threshold) {
  PlainSparse kept;
  kept.m = kept.n = C.n;
  for (size_t j = 0; j < C.n; ++j) {
    for (uint64_t k = C.jc[j]; k < C.jc[j + 1]; ++k) {
      const double inEither = (C.degrees[C.ir[k]] + C.degrees[j]) - C.pr[k];
      if (inEither > 0 && C.pr[k] / inEither > threshold) {
        kept.ir.push_back(C.ir[k]);
        kept.pr.push_back(C.pr[k] / inEither);
      }
    }
    kept.jc.push_back(kept.ir.size());
  }
  return kept;
}

// Thresholds worth trying: both sides of 0, the values small graphs hit exactly, none at all.
double someThreshold(std::mt19937& random) {
  const double listed[] = {-1.0, 0.0, 1.0 / 3.0, 0.5, 1.0, NAN, -INFINITY};
  const size_t pick = random() % 9;
  return pick < 7 ? listed[pick] : std::uniform_real_distribution<double>(0.0, 1.0)(random);
}

// Degrees as given, or some of them 0 or halved, so unions of 0 and below occur.
void disturbDegrees(std::mt19937& random, Neighbourhoods& C) {
  if (random() % 2) return;
  for (double& degree : C.degrees) {
    if (random() % 5 == 0) degree = 0;
    else if (random() % 5 == 0) degree /= 2;
  }
}

TEST(TessalyKernel, ReadsPositionsAndRowsByTheirLow32BitsAndCopiesRowsWhole) {
  const uint64_t high = UINT64_C(1) << 32;
  const uint64_t jcC[3] = {high, high + 1, 3 * high + 2};
  const uint64_t irC[2] = {5 * high, 7 * high + 1};
  const double prC[2] = {1, 2};
  const double d[2] = {1, 3};
  uint64_t jcS[3], irS[2];
  double prS[2];
  testhostTakeOutput();
  tessaly(sparseOver(2, 2, jcC, irC, prC), d, 0.25, outputOver(2, jcS, irS, prS, 2));
  EXPECT_EQ("tessaly: nnz = 2\n", testhostTakeOutput());
  EXPECT_EQ((std::vector<uint64_t>{0, 1, 2}), std::vector<uint64_t>(jcS, jcS + 3));
  EXPECT_EQ((std::vector<uint64_t>{5 * high, 7 * high + 1}), std::vector<uint64_t>(irS, irS + 2));
  EXPECT_EQ((std::vector<double>{1, 0.5}), std::vector<double>(prS, prS + 2));
}

TEST(TessalyKernel, MatchesThePlainFormulaOnRandomGraphs) {
  std::mt19937 random(4101);
  for (int round = 0; round < 300; ++round) {
    const size_t n = random() % 30;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 40) / 100.0, 0.1);
    disturbDegrees(random, C);
    const double threshold = someThreshold(random);
    // Exactly the room the gateway gives, so a write past it is a sanitizer error.
    std::vector<uint64_t> jc(n + 1), ir(C.pr.size());
    std::vector<double> pr(C.pr.size());
    tessaly(viewOf(C), C.degrees.data(), threshold, outputOver(n, jc.data(), ir.data(), pr.data(), ir.size()));
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(plainJaccard(C, threshold), storedPart(n, n, jc.data(), ir.data(), pr.data(), ir.size()));
  }
  testhostTakeOutput();
}

// The kernel against the kernel as it was, bit for bit: NaN, infinite and -0 counts and degrees,
// stored zeros, and entries with high bits set.
TEST(TessalyKernel, MatchesTheFormerKernelBitForBit) {
  std::mt19937 random(2029);
  for (int round = 0; round < 200; ++round) {
    const size_t n = random() % 30;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 40) / 100.0, 0.1);
    disturbDegrees(random, C);
    makeAwkward(random, C, 8);
    const double threshold = round % 5 ? someThreshold(random) : -0.0;
    SCOPED_TRACE("round " + std::to_string(round));
    const KernelOutput expected = runOn(C, [&](uint64_t* ir, uint64_t* jc, double* pr) {
      former::tessaly(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, threshold, ir, jc, pr);
    });
    EXPECT_TRUE(expected == runOn(C, [&](uint64_t* ir, uint64_t* jc, double* pr) {
      tessaly(viewOf(C), C.degrees.data(), threshold, outputOver(n, jc, ir, pr, C.pr.size()));
    }));
  }
}

TEST(TessalyPlugin, MatchesThePlainFormulaOnRandomGraphs) {
  std::mt19937 random(17);
  for (int round = 0; round < 150; ++round) {
    const size_t n = 1 + random() % 40;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 30) / 100.0, 0.05);
    disturbDegrees(random, C);
    const double threshold = someThreshold(random);
    const PluginCall S = callPlugin("tessaly", {testhostSparse(n, n, C.jc, C.ir, C.pr),
                                                testhostFull(n, 1, C.degrees), testhostFull(1, 1, {threshold})});
    ASSERT_TRUE(S.returned) << S.error.identifier;
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(plainJaccard(C, threshold), S.result);
    EXPECT_EQ(std::max<size_t>(C.pr.size(), 1), S.nzmax);
    EXPECT_TRUE(S.guardsIntact);
  }
}

// Normalises C with degrees d and threshold 0.5 in the plug-in.
PluginCall normaliseInPlugin(mxArray* C, mxArray* d) {
  return callPlugin("tessaly", {C, d, testhostFull(1, 1, {0.5})});
}

TEST(TessalyPlugin, RefusesTwoToThe31StoredEntries) {
  const auto claiming = [](uint64_t stored) {
    return normaliseInPlugin(sparseClaiming(1, 1, stored), testhostFull(1, 1, {1})).error.identifier;
  };
  EXPECT_EQ("MATLAB:tessaly:toomany", claiming(UINT64_C(1) << 31));
  EXPECT_EQ("MATLAB:tessaly:toomany", claiming(UINT64_C(1) << 32));
  // One entry fewer passes every check; the host then cannot give that much room.
  EXPECT_EQ("MATLAB:nomem", claiming((UINT64_C(1) << 31) - 1));
}

#if defined(__linux__)
// An n-by-n C and an n-by-1 d, both storing nothing: the size checks come before d is looked at.
PluginCall normaliseEmptyOfSize(size_t n) {
  const ReservedColumnStarts starts(n);
  return normaliseInPlugin(starts.matrix(n, n), starts.matrix(n, 1));
}

TEST(TessalyPlugin, RefusesSizesOf2To31AndShowsTheirLow32Bits) {
  const PluginCall tooLarge = normaliseEmptyOfSize(UINT64_C(1) << 31);
  EXPECT_EQ("MATLAB:tessaly:toolarge", tooLarge.error.identifier);
  EXPECT_EQ(
      "nlhs = 1, nrhs = 3\nthreshold = 0.500000\n"
      "dimensions: m=-2147483648, n=-2147483648, m2=-2147483648, n2=1\n",
      tooLarge.printed);
  // The largest size accepted: the next check, on d, refuses it.
  EXPECT_EQ("MATLAB:tessaly:notfull", normaliseEmptyOfSize((UINT64_C(1) << 31) - 1).error.identifier);
}
#endif

}  // namespace
