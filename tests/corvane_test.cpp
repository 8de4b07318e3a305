// The merge kernel on plain arrays, the plug-in against a plain reference on random matrices,
// and the size limits of its gateway.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <map>
#include <random>

#include "merge/corvane.h"
#include "tests/reference/today_kernels.h"
#include "tests/runner/plugin.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// A sparse matrix as plain vectors.
struct Plain {
  size_t n = 0;
  std::vector<uint64_t> jc{0}, ir;
  std::vector<double> pr;
};

// Builds a matrix from (column, row) -> value entries.
Plain fromEntries(size_t n, const std::map<std::pair<size_t, size_t>, double>& entries) {
  Plain matrix;
  matrix.n = n;
  matrix.jc.assign(n + 1, 0);
  for (const auto& entry : entries) {
    matrix.ir.push_back(entry.first.second);
    matrix.pr.push_back(entry.second);
    ++matrix.jc[entry.first.first + 1];
  }
  for (size_t j = 0; j < n; ++j) matrix.jc[j + 1] += matrix.jc[j];
  return matrix;
}

std::map<std::pair<size_t, size_t>, double> entriesOf(const Plain& matrix) {
  std::map<std::pair<size_t, size_t>, double> entries;
  for (size_t j = 0; j < matrix.n; ++j)
    for (uint64_t k = matrix.jc[j]; k < matrix.jc[j + 1]; ++k) entries[{j, matrix.ir[k]}] = matrix.pr[k];
  return entries;
}

// The merge computed the plain way: every position either matrix stores, weighted or not.
Plain referenceMerge(const Plain& A, const Plain& B, double w, int64_t blockEnd) {
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

Plain randomMatrix(std::mt19937& random, size_t n, double density) {
  std::map<std::pair<size_t, size_t>, double> entries;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_int_distribution<int> small(-4, 9);
  for (size_t j = 0; j < n; ++j)
    for (size_t i = 0; i < n; ++i)
      if (unit(random) < density) entries[{j, i}] = unit(random) < 0.5 ? small(random) : unit(random) * 10 - 3;
  return fromEntries(n, entries);
}

void expectSame(const Plain& expected, const std::vector<uint64_t>& jc, const std::vector<uint64_t>& ir,
                const std::vector<double>& pr) {
  ASSERT_EQ(expected.jc, jc);
  const size_t stored = jc.back();
  EXPECT_EQ(expected.ir, std::vector<uint64_t>(ir.begin(), ir.begin() + stored));
  EXPECT_EQ(expected.pr, std::vector<double>(pr.begin(), pr.begin() + stored));
}

TEST(CorvaneKernel, MergesPlainArraysWithoutAHost) {
  const Plain A = fromEntries(3, {{{0, 0}, 1}, {{0, 2}, 4}, {{1, 1}, 3}, {{2, 0}, 2}});
  const Plain B = fromEntries(3, {{{0, 0}, 3}, {{0, 1}, 2}, {{1, 1}, -3}, {{2, 2}, 5}});
  std::vector<uint64_t> jc(4), ir(8);
  std::vector<double> pr(8);
  testhostTakeOutput();
  corvane(A.ir.data(), A.jc.data(), A.pr.data(), B.ir.data(), B.jc.data(), B.pr.data(), 3, 2, 0.5, ir.data(),
          jc.data(), pr.data());
  EXPECT_EQ(testhostTakeOutput(), "starting corvane ...\nend corvane => nnz=4\n");
  expectSame(fromEntries(3, {{{0, 0}, 2}, {{0, 1}, 1}, {{0, 2}, 4}, {{2, 0}, 2}}), jc, ir, pr);
}

TEST(CorvaneKernel, MatchesThePlainMergeOnRandomMatrices) {
  std::mt19937 random(20261208);
  const double weights[] = {0.0, 1.0, 0.5, 0.3, -0.25, 1.7};
  for (int round = 0; round < 300; ++round) {
    const size_t n = random() % 25;
    const Plain A = randomMatrix(random, n, 0.3), B = randomMatrix(random, n, 0.3);
    const double w = weights[round % 6];
    const int64_t blockEnd = (int64_t)(random() % (n + 4)) - 2;
    const Plain expected = referenceMerge(A, B, w, blockEnd);
    const size_t room = A.pr.size() + B.pr.size();
    std::vector<uint64_t> jc(n + 1), ir(room);
    std::vector<double> pr(room);
    corvane(A.ir.data(), A.jc.data(), A.pr.data(), B.ir.data(), B.jc.data(), B.pr.data(), n, blockEnd, w,
            ir.data(), jc.data(), pr.data());
    SCOPED_TRACE("round " + std::to_string(round));
    expectSame(expected, jc, ir, pr);
  }
  testhostTakeOutput();
}

// A random matrix whose values include NaN, infinities, -0 and stored zeros, and whose jc and ir
// entries carry random bits above the low 32, which the merge must not read.
Plain awkwardMatrix(std::mt19937& random, size_t n, double density) {
  const double awkward[] = {NAN, INFINITY, -INFINITY, -0.0, 0.0, 1e-310, -2.5};
  Plain matrix = randomMatrix(random, n, density);
  for (double& value : matrix.pr)
    if (random() % 6 == 0) value = awkward[random() % 7];
  for (uint64_t& start : matrix.jc) start |= (uint64_t)(random() % 4) << 32;
  for (uint64_t& row : matrix.ir) row |= (uint64_t)(random() % 4) << 32;
  return matrix;
}

// What a merge printed and stored, with exactly the room the gateway gives.
struct MergeRun {
  std::string printed;
  std::vector<uint64_t> jc, ir, bits;  // bits: the stored values' bit patterns
};

template <typename Kernel>
MergeRun runMerge(Kernel kernel, const Plain& A, const Plain& B, int64_t blockEnd, double w) {
  const size_t room = A.pr.size() + B.pr.size();
  MergeRun run;
  run.jc.resize(A.n + 1);
  run.ir.resize(room);
  std::vector<double> pr(room);
  testhostTakeOutput();
  kernel(A.ir.data(), A.jc.data(), A.pr.data(), B.ir.data(), B.jc.data(), B.pr.data(), A.n, blockEnd, w,
         run.ir.data(), run.jc.data(), pr.data());
  run.printed = testhostTakeOutput();
  const size_t stored = run.jc[A.n];
  run.ir.resize(stored);
  run.bits.resize(stored);
  if (stored > 0) memcpy(run.bits.data(), pr.data(), stored * sizeof(double));
  return run;
}

void expectSameRun(const MergeRun& expected, const MergeRun& actual) {
  EXPECT_EQ(expected.printed, actual.printed);
  EXPECT_EQ(expected.jc, actual.jc);
  EXPECT_EQ(expected.ir, actual.ir);
  EXPECT_EQ(expected.bits, actual.bits);
}

TEST(CorvaneKernel, MatchesTheFormerKernelBitForBit) {
  std::mt19937 random(2028);
  const double weights[] = {0.5, 0.0, 1.0, -0.0, 0.3, 1.7, NAN, INFINITY};
  for (int round = 0; round < 300; ++round) {
    const size_t n = random() % 30;
    const Plain A = awkwardMatrix(random, n, 0.3), B = awkwardMatrix(random, n, 0.3);
    const int64_t ends[] = {(int64_t)(random() % (n + 3)), -1, INT32_MIN, (int64_t)n};
    const int64_t blockEnd = ends[random() % 4];
    const double w = weights[random() % 8];
    SCOPED_TRACE("round " + std::to_string(round));
    expectSameRun(runMerge(today::corvane, A, B, blockEnd, w), runMerge(corvane, A, B, blockEnd, w));
  }
}

TEST(CorvaneKernel, PrintsProgressAtEveryMillionStoredEntriesAsBefore) {
  // 1100 columns of 950 positive entries: 1,045,000 stored, inside and outside a block of 600.
  Plain A, B;
  A.n = B.n = 1100;
  B.jc.assign(A.n + 1, 0);
  for (size_t j = 0; j < A.n; ++j) {
    for (size_t row = 0; row < 950; ++row) A.ir.push_back(row), A.pr.push_back(1.0 + row % 3);
    A.jc.push_back(A.ir.size());
  }
  const MergeRun expected = runMerge(today::corvane, A, B, 600, 0.5);
  EXPECT_NE(std::string::npos, expected.printed.find("corvane nnz=1 M\n"));
  expectSameRun(expected, runMerge(corvane, A, B, 600, 0.5));
}

// Calls the built plug-in; returns the error identifier, or "" with `result` set.
std::string callPlugin(const std::vector<mxArray*>& inputs, mxArray** result) {
  static const MexFunction entry = loadPlugin(PLUGIN_DIR "/corvane.so");
  HostError error;
  *result = nullptr;
  const bool returned = testhostCall(entry, 1, result, (int)inputs.size(),
                                     const_cast<const mxArray**>(inputs.data()), &error);
  testhostTakeOutput();
  for (mxArray* input : inputs) testhostDestroy(input);
  return returned ? "" : error.identifier;
}

TEST(CorvanePlugin, MatchesThePlainMergeOnRandomMatrices) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const size_t n = 1 + random() % 30;
    const Plain A = randomMatrix(random, n, 0.25), B = randomMatrix(random, n, 0.25);
    const double w = (random() % 5) / 4.0;
    const double blockEnd = (double)(random() % (n + 2)) + 0.75;
    mxArray* result;
    ASSERT_EQ("", callPlugin({testhostSparse(n, n, A.jc, A.ir, A.pr), testhostSparse(n, n, B.jc, B.ir, B.pr),
                              testhostFull(1, 1, {w}), testhostFull(1, 1, {blockEnd})},
                             &result));
    const Plain expected = referenceMerge(A, B, w, (int64_t)blockEnd);
    const uint64_t* jc = mxGetJc_730(result);
    const size_t stored = jc[n];
    SCOPED_TRACE("round " + std::to_string(round));
    expectSame(expected, std::vector<uint64_t>(jc, jc + n + 1),
               std::vector<uint64_t>(mxGetIr_730(result), mxGetIr_730(result) + stored),
               std::vector<double>(mxGetPr(result), mxGetPr(result) + stored));
    EXPECT_EQ(std::max<size_t>(A.pr.size() + B.pr.size(), 1), testhostNzmax(result));
    testhostDestroy(result);
  }
}

// Two 1-by-1 matrices claiming `storedA` and `storedB` entries: only the gateway's checks read them.
std::string mergeClaiming(uint64_t storedA, uint64_t storedB) {
  const uint64_t jcA[2] = {0, storedA}, jcB[2] = {0, storedB};
  mxArray* result;
  const std::string raised = callPlugin({testhostSparseOver(1, 1, jcA), testhostSparseOver(1, 1, jcB),
                                         testhostFull(1, 1, {0.5}), testhostFull(1, 1, {1})},
                                        &result);
  if (result) testhostDestroy(result);
  return raised;
}

TEST(CorvanePlugin, RefusesTwoToThe31EntriesTogether) {
  EXPECT_EQ("MATLAB:corvane:toomany", mergeClaiming(2147483647u, 1));
  EXPECT_EQ("MATLAB:corvane:toomany", mergeClaiming(UINT64_C(1) << 32, 0));
  // One entry fewer passes every check; the host then cannot give that much room.
  EXPECT_EQ("MATLAB:nomem", mergeClaiming(2147483646u, 1));
}

#if defined(__linux__)
// An n-by-n matrix storing nothing, its n+1 column starts in memory the system only reserves.
std::string mergeEmptyOfSize(size_t n) {
  const size_t bytes = (n + 1) * sizeof(uint64_t);
  void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return "no memory to map";
  const uint64_t* jc = (const uint64_t*)memory;
  mxArray* result;
  const std::string raised = callPlugin({testhostSparseOver(n, n, jc), testhostSparseOver(n, n, jc),
                                         testhostFull(1, 1, {0.5}), testhostFull(1, 1, {1})},
                                        &result);
  if (result) testhostDestroy(result);
  munmap(memory, bytes);
  return raised;
}

TEST(CorvanePlugin, RefusesSizesOf2To31Minus1) {
  EXPECT_EQ("MATLAB:corvane:toolarge", mergeEmptyOfSize(2147483647u));
  // The largest size accepted: the host is asked for the n+1 column starts and refuses.
  EXPECT_EQ("MATLAB:nomem", mergeEmptyOfSize(2147483646u));
}
#endif

}  // namespace
