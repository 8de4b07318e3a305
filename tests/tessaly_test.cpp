// The Jaccard kernel on plain arrays, the plug-in against the plain formula on random graphs, and
// the size limits of its gateway.
#include <gtest/gtest.h>

#include <math.h>

#include "normalise/tessaly.h"
#include "tests/neighbourhoods.h"
#include "tests/reference/awkward_counts.h"
#include "tests/reference/today_kernels.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

const std::string kPlugin = PLUGIN_DIR "/tessaly.so";

// The similarities the plain formula keeps, column by column in C's order.
Returned plainJaccard(const Neighbourhoods& C, double threshold) {
  Returned kept;
  kept.jc.push_back(0);
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

void expectSame(const Returned& expected, const Returned& actual) {
  ASSERT_EQ(expected.jc, actual.jc);
  EXPECT_EQ(expected.ir, actual.ir);
  EXPECT_EQ(expected.pr, actual.pr);
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
  tessaly(irC, jcC, prC, d, 2, 0.25, irS, jcS, prS);
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
    Returned S;
    S.jc.resize(n + 1);
    S.ir.resize(C.pr.size());
    S.pr.resize(C.pr.size());
    tessaly(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, threshold, S.ir.data(), S.jc.data(),
            S.pr.data());
    S.ir.resize(S.jc[n]);
    S.pr.resize(S.jc[n]);
    SCOPED_TRACE("round " + std::to_string(round));
    expectSame(plainJaccard(C, threshold), S);
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
    expectEveryPathAsBefore(
        C,
        [&](uint64_t* ir, uint64_t* jc, double* pr) {
          today::tessaly(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, threshold, ir, jc, pr);
        },
        [&](CpuPath, uint64_t* ir, uint64_t* jc, double* pr) {
          tessaly(C.ir.data(), C.jc.data(), C.pr.data(), C.degrees.data(), n, threshold, ir, jc, pr);
        });
  }
}

TEST(TessalyPlugin, MatchesThePlainFormulaOnRandomGraphs) {
  std::mt19937 random(17);
  for (int round = 0; round < 150; ++round) {
    const size_t n = 1 + random() % 40;
    Neighbourhoods C = randomNeighbourhoods(random, n, 0.05 + (random() % 30) / 100.0, 0.05);
    disturbDegrees(random, C);
    const double threshold = someThreshold(random);
    Returned S;
    ASSERT_EQ("", callPlugin(kPlugin, {testhostSparse(n, n, C.jc, C.ir, C.pr), testhostFull(n, 1, C.degrees),
                                       testhostFull(1, 1, {threshold})},
                             &S));
    SCOPED_TRACE("round " + std::to_string(round));
    expectSame(plainJaccard(C, threshold), S);
    EXPECT_EQ(std::max<size_t>(C.pr.size(), 1), S.nzmax);
    EXPECT_TRUE(S.guardsIntact);
  }
}

// A 1-by-1 matrix claiming `stored` entries: only the gateway's checks read it.
std::string normaliseClaiming(uint64_t stored) {
  const uint64_t jc[2] = {0, stored};
  Returned S;
  return callPlugin(kPlugin, {testhostSparseOver(1, 1, jc), testhostFull(1, 1, {1}), testhostFull(1, 1, {0.5})}, &S);
}

TEST(TessalyPlugin, RefusesTwoToThe31StoredEntries) {
  EXPECT_EQ("MATLAB:tessaly:toomany", normaliseClaiming(UINT64_C(1) << 31));
  EXPECT_EQ("MATLAB:tessaly:toomany", normaliseClaiming(UINT64_C(1) << 32));
  // One entry fewer passes every check; the host then cannot give that much room.
  EXPECT_EQ("MATLAB:nomem", normaliseClaiming((UINT64_C(1) << 31) - 1));
}

#if defined(__linux__)
// An n-by-n matrix storing nothing, its n+1 column starts in memory the system only reserves, with
// an n-by-1 d that stores nothing either: the size checks come before d is looked at.
std::string normaliseEmptyOfSize(size_t n, std::string* printed) {
  const size_t bytes = (n + 1) * sizeof(uint64_t);
  void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return "no memory to map";
  static const uint64_t dStarts[2] = {0, 0};
  Returned S;
  const std::string raised = callPlugin(kPlugin,
                                        {testhostSparseOver(n, n, (const uint64_t*)memory),
                                         testhostSparseOver(n, 1, dStarts), testhostFull(1, 1, {0.5})},
                                        &S, printed);
  munmap(memory, bytes);
  return raised;
}

TEST(TessalyPlugin, RefusesSizesOf2To31AndShowsTheirLow32Bits) {
  std::string printed;
  EXPECT_EQ("MATLAB:tessaly:toolarge", normaliseEmptyOfSize(UINT64_C(1) << 31, &printed));
  EXPECT_EQ(
      "nlhs = 1, nrhs = 3\nthreshold = 0.500000\n"
      "dimensions: m=-2147483648, n=-2147483648, m2=-2147483648, n2=1\n",
      printed);
  // The largest size accepted: the next check, on d, refuses it.
  EXPECT_EQ("MATLAB:tessaly:notfull", normaliseEmptyOfSize((UINT64_C(1) << 31) - 1, &printed));
}
#endif

}  // namespace
