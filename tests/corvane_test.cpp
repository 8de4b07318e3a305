// The merge kernel on plain arrays, the plug-in against a plain reference on random matrices,
// and the size limits of its gateway.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <map>
#include <random>

#include "merge/corvane.h"
#include "tests/reference/former_kernels.h"
#include "tests/support/plugins.h"

namespace {

// Builds an n-by-n matrix from (column, row) -> value entries.
PlainSparse fromEntries(size_t n, const std::map<std::pair<size_t, size_t>, double>& entries) {
  PlainSparse matrix;
  matrix.m = matrix.n = n;
  matrix.jc.assign(n + 1, 0);
  for (const auto& entry : entries) {
    matrix.ir.push_back(entry.first.second);
    matrix.pr.push_back(entry.second);
    ++matrix.jc[entry.first.first + 1];
  }
  for (size_t j = 0; j < n; ++j) matrix.jc[j + 1] += matrix.jc[j];
  return matrix;
}

std::map<std::pair<size_t, size_t>, double> entriesOf(const PlainSparse& matrix) {
  std::map<std::pair<size_t, size_t>, double> entries;
  for (size_t j = 0; j < matrix.n; ++j)
    for (uint64_t k = matrix.jc[j]; k < matrix.jc[j + 1]; ++k) entries[{j, matrix.ir[k]}] = matrix.pr[k];
  return entries;
}

// The merge computed the plain way: every position either matrix stores, weighted or not.
PlainSparse referenceMerge(const PlainSparse& A, const PlainSparse& B, double w, int64_t blockEnd) {
  auto a = entriesOf(A), b = entriesOf(B);
  std::map<std::pair<size_t, size_t>, double> result;
  for (auto* side : {&a, &b}) {
    for (const auto& entry : *side) {
      const size_t j = entry.first.first, row = entry.first.second;
      const double va = a.count(entry.first) ? a[entry.first] : 0.0;
      const double vb = b.count(entry.first) ? b[entry.first] : 0.0;
      const bool inBlock = (uint64_t)j < (uint64_t)blockEnd && (uint64_t)row < (uint64_t)blockEnd;
      volatile double partA = va * (1.0 - w), partB = vb * w;
      const double v = inBlock ? partA + partB : va;
      if (v > 0.0) result[entry.first] = v;
    }
  }
  return fromEntries(A.n, result);
}

PlainSparse randomMatrix(std::mt19937& random, size_t n, double density) {
  std::map<std::pair<size_t, size_t>, double> entries;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_int_distribution<int> small(-4, 9);
  for (size_t j = 0; j < n; ++j)
    for (size_t i = 0; i < n; ++i)
      if (unit(random) < density) entries[{j, i}] = unit(random) < 0.5 ? small(random) : unit(random) * 10 - 3;
  return fromEntries(n, entries);
}

// The kernel's result in plain arrays.
PlainSparse resultOf(size_t n, const std::vector<uint64_t>& jc, const std::vector<uint64_t>& ir,
                     const std::vector<double>& pr) {
  return storedPart(n, n, jc.data(), ir.data(), pr.data(), ir.size());
}

TEST(CorvaneKernel, MergesPlainArraysWithoutAHost) {
  const PlainSparse A = fromEntries(3, {{{0, 0}, 1}, {{0, 2}, 4}, {{1, 1}, 3}, {{2, 0}, 2}});
  const PlainSparse B = fromEntries(3, {{{0, 0}, 3}, {{0, 1}, 2}, {{1, 1}, -3}, {{2, 2}, 5}});
  std::vector<uint64_t> jc(4), ir(8);
  std::vector<double> pr(8);
  testhostTakeOutput();
  corvane(viewOf(A), viewOf(B), 2, 0.5, outputOver(3, jc.data(), ir.data(), pr.data(), 8));
  EXPECT_EQ(testhostTakeOutput(), "starting corvane ...\nend corvane => nnz=4\n");
  EXPECT_EQ(fromEntries(3, {{{0, 0}, 2}, {{0, 1}, 1}, {{0, 2}, 4}, {{2, 0}, 2}}), resultOf(3, jc, ir, pr));
}

TEST(CorvaneKernel, TheLargestRowOfTheLargestSizeMergesLikeAnyOther) {
  // Rows of an n-by-n matrix with n = 2^31 - 1 reach 2^31 - 2, one below the exhausted-column marker:
  // A alone, B alone and both at that row, each after the other side's column is used up.
  const uint64_t last = 2147483646u;
  const PlainSparse A = fromEntries(3, {{{0, 3}, 1}, {{0, last}, 2}, {{2, last}, 6}});
  const PlainSparse B = fromEntries(3, {{{0, 3}, 1}, {{1, last}, 4}, {{2, last}, 2}});
  std::vector<uint64_t> jc(4), ir(4);
  std::vector<double> pr(4);
  corvane(viewOf(A), viewOf(B), -1, 0.5, outputOver(3, jc.data(), ir.data(), pr.data(), 4));
  testhostTakeOutput();
  EXPECT_EQ(fromEntries(3, {{{0, 3}, 1}, {{0, last}, 1}, {{1, last}, 2}, {{2, last}, 4}}), resultOf(3, jc, ir, pr));
}

TEST(CorvaneKernel, MatchesThePlainMergeOnRandomMatrices) {
  std::mt19937 random(20261208);
  const double weights[] = {0.0, 1.0, 0.5, 0.3, -0.25, 1.7};
  for (int round = 0; round < 300; ++round) {
    const size_t n = random() % 25;
    const PlainSparse A = randomMatrix(random, n, 0.3), B = randomMatrix(random, n, 0.3);
    const double w = weights[round % 6];
    const int64_t blockEnd = (int64_t)(random() % (n + 4)) - 2;
    const PlainSparse expected = referenceMerge(A, B, w, blockEnd);
    const size_t room = A.pr.size() + B.pr.size();
    std::vector<uint64_t> jc(n + 1), ir(room);
    std::vector<double> pr(room);
    corvane(viewOf(A), viewOf(B), blockEnd, w, outputOver(n, jc.data(), ir.data(), pr.data(), room));
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(expected, resultOf(n, jc, ir, pr));
  }
  testhostTakeOutput();
}

// A random matrix whose values include NaN, infinities, -0 and stored zeros, and whose jc and ir
// entries carry random bits above the low 32, which the merge must not read.
PlainSparse awkwardMatrix(std::mt19937& random, size_t n, double density) {
  const double awkward[] = {NAN, INFINITY, -INFINITY, -0.0, 0.0, 1e-310, -2.5};
  PlainSparse matrix = randomMatrix(random, n, density);
  for (double& value : matrix.pr)
    if (random() % 6 == 0) value = awkward[random() % 7];
  for (uint64_t& start : matrix.jc) start |= (uint64_t)(random() % 4) << 32;
  for (uint64_t& row : matrix.ir) row |= (uint64_t)(random() % 4) << 32;
  return matrix;
}

// What a merge printed and stored, with exactly the room the gateway gives.
struct MergeRun {
  std::string printed;
  PlainSparse result;
};

template <typename Kernel>
MergeRun runMerge(Kernel kernel, const PlainSparse& A, const PlainSparse& B, int64_t blockEnd, double w) {
  const size_t room = A.pr.size() + B.pr.size();
  std::vector<uint64_t> jc(A.n + 1), ir(room);
  std::vector<double> pr(room);
  testhostTakeOutput();
  kernel(A.ir.data(), A.jc.data(), A.pr.data(), B.ir.data(), B.jc.data(), B.pr.data(), A.n, blockEnd, w, ir.data(),
         jc.data(), pr.data());
  return MergeRun{testhostTakeOutput(), storedPart(A.n, A.n, jc.data(), ir.data(), pr.data(), room)};
}

// The kernel on the former kernel's arrays.
void mergeArrays(const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB, const uint64_t* jcB,
                 const double* prB, uint64_t n, int64_t blockEnd, double w, uint64_t* irS, uint64_t* jcS,
                 double* prS) {
  corvane(sparseOver(n, n, jcA, irA, prA), sparseOver(n, n, jcB, irB, prB), blockEnd, w,
          outputOver(n, jcS, irS, prS, (uint32_t)jcA[n] + (uint32_t)jcB[n]));
}

void expectSameRun(const MergeRun& expected, const MergeRun& actual) {
  EXPECT_EQ(expected.printed, actual.printed);
  EXPECT_EQ(expected.result, actual.result);
}

TEST(CorvaneKernel, MatchesTheFormerKernelBitForBit) {
  std::mt19937 random(2028);
  const double weights[] = {0.5, 0.0, 1.0, -0.0, 0.3, 1.7, NAN, INFINITY};
  for (int round = 0; round < 300; ++round) {
    const size_t n = random() % 30;
    const PlainSparse A = awkwardMatrix(random, n, 0.3), B = awkwardMatrix(random, n, 0.3);
    const int64_t ends[] = {(int64_t)(random() % (n + 3)), -1, INT32_MIN, (int64_t)n};
    const int64_t blockEnd = ends[random() % 4];
    const double w = weights[random() % 8];
    SCOPED_TRACE("round " + std::to_string(round));
    expectSameRun(runMerge(former::corvane, A, B, blockEnd, w), runMerge(mergeArrays, A, B, blockEnd, w));
  }
}

TEST(CorvaneKernel, PrintsProgressAtEveryMillionStoredEntriesAsBefore) {
  // 1100 columns of 950 positive entries: 1,045,000 stored, inside and outside a block of 600.
  PlainSparse A, B;
  A.m = A.n = B.m = B.n = 1100;
  B.jc.assign(A.n + 1, 0);
  for (size_t j = 0; j < A.n; ++j) {
    for (size_t row = 0; row < 950; ++row) A.ir.push_back(row), A.pr.push_back(1.0 + row % 3);
    A.jc.push_back(A.ir.size());
  }
  const MergeRun expected = runMerge(former::corvane, A, B, 600, 0.5);
  EXPECT_NE(std::string::npos, expected.printed.find("corvane nnz=1 M\n"));
  expectSameRun(expected, runMerge(mergeArrays, A, B, 600, 0.5));
}

// Merges A and B in the plug-in with weight 0.5 and end 1.
PluginCall mergeInPlugin(mxArray* A, mxArray* B) {
  return callPlugin("corvane", {A, B, testhostFull(1, 1, {0.5}), testhostFull(1, 1, {1})});
}

TEST(CorvanePlugin, MatchesThePlainMergeOnRandomMatrices) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const size_t n = 1 + random() % 30;
    const PlainSparse A = randomMatrix(random, n, 0.25), B = randomMatrix(random, n, 0.25);
    const double w = (random() % 5) / 4.0;
    const double blockEnd = (double)(random() % (n + 2)) + 0.75;
    const PluginCall call = callPlugin("corvane", {testhostSparse(n, n, A.jc, A.ir, A.pr),
                                                  testhostSparse(n, n, B.jc, B.ir, B.pr), testhostFull(1, 1, {w}),
                                                  testhostFull(1, 1, {blockEnd})});
    ASSERT_TRUE(call.returned) << call.error.identifier;
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(referenceMerge(A, B, w, (int64_t)blockEnd), call.result);
    EXPECT_EQ(std::max<size_t>(A.pr.size() + B.pr.size(), 1), call.nzmax);
  }
}

// Two 1-by-1 matrices claiming `storedA` and `storedB` entries: only the gateway's checks read them.
std::string mergeClaiming(uint64_t storedA, uint64_t storedB) {
  return mergeInPlugin(sparseClaiming(1, 1, storedA), sparseClaiming(1, 1, storedB)).error.identifier;
}

TEST(CorvanePlugin, RefusesTwoToThe31EntriesTogether) {
  EXPECT_EQ("MATLAB:corvane:toomany", mergeClaiming(2147483647u, 1));
  EXPECT_EQ("MATLAB:corvane:toomany", mergeClaiming(UINT64_C(1) << 32, 0));
  // One entry fewer passes every check; the host then cannot give that much room.
  EXPECT_EQ("MATLAB:nomem", mergeClaiming(2147483646u, 1));
}

// Two n-by-n matrices storing nothing, for sizes too large to hold.
std::string mergeEmptyOfSize(size_t n) {
  const ReservedColumnStarts starts(n);
  if (!starts.jc) return "no memory to reserve";
  return mergeInPlugin(starts.matrix(n, n), starts.matrix(n, n)).error.identifier;
}

#if defined(__linux__)
TEST(CorvanePlugin, RefusesSizesOf2To31) {
  EXPECT_EQ("MATLAB:corvane:toolarge", mergeEmptyOfSize(UINT64_C(1) << 31));
  // The largest size accepted: the host is asked for the n+1 column starts and refuses.
  EXPECT_EQ("MATLAB:nomem", mergeEmptyOfSize((UINT64_C(1) << 31) - 1));
}
#endif

}  // namespace
