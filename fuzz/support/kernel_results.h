// What the differential targets share: a kernel's output arrays with exactly their room, the
// stored part of a result with its values as bits, and ending the run when two results differ.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "frame/cpu_paths.h"
#include "frame/sparse_view.h"
#include "tests/host/strict_host.h"
#include "fuzz/support/fuzz_values.h"

// The output arrays of an n-column result with room for `room` entries, each block exactly its size.
struct OutputArrays {
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
  OutputArrays(uint64_t n, uint64_t room) : jc(n + 1, 0), ir(room, ~UINT64_C(0)), pr(room, 0.0) {}
  // The kernels' view of the arrays, an n-by-n result.
  SparseView view() { return SparseView{jc.size() - 1, jc.size() - 1, pr.data(), ir.data(), jc.data(), ir.size()}; }
};

// A result as stored: its column starts, and the rows and value bits of its stored entries;
// what a kernel printed, and what it returned.
struct StoredResult {
  std::vector<uint64_t> jc, ir, bits;
  std::string printed;
  uint64_t returned = 0;
  bool operator==(const StoredResult& other) const {
    return jc == other.jc && ir == other.ir && bits == other.bits && printed == other.printed &&
           returned == other.returned;
  }
};

// The stored part of `out` (jc[n] entries, never more than its room) and what was printed since
// the last call.
inline StoredResult storedPart(const OutputArrays& out, uint64_t returned = 0) {
  StoredResult result;
  result.jc = out.jc;
  const uint64_t stored = out.jc.back() < out.ir.size() ? out.jc.back() : out.ir.size();
  result.ir.assign(out.ir.begin(), out.ir.begin() + stored);
  result.bits.resize(stored);
  for (uint64_t k = 0; k < stored; ++k) memcpy(&result.bits[k], &out.pr[k], sizeof(double));
  result.printed = testhostTakeOutput();
  result.returned = returned;
  return result;
}

// Ends the run with a finding when two results differ.
inline void expectSame(const StoredResult& expected, const StoredResult& actual, const std::string& what) {
  if (expected == actual) return;
  fprintf(stderr, "%s differs: %zu/%zu entries, printed '%s' / '%s', returned %llu / %llu\n", what.c_str(),
          expected.ir.size(), actual.ir.size(), expected.printed.c_str(), actual.printed.c_str(),
          (unsigned long long)expected.returned, (unsigned long long)actual.returned);
  abort();
}

// Ends the run with a finding when `holds` is false.
inline void expectThat(bool holds, const std::string& what) {
  if (holds) return;
  fprintf(stderr, "%s\n", what.c_str());
  abort();
}

// The number of nodes or columns of a differential input: mostly few, sometimes up to `most`.
inline uint64_t someCount(FuzzedDataProvider& in, uint64_t most) {
  return in.ConsumeIntegralInRange<uint64_t>(0, in.ConsumeBool() ? (most < 12 ? most : 12) : most);
}

// A square n-by-n sparse matrix with valid structure and values from a palette, as plain arrays.
struct PlainMatrix {
  uint64_t n = 0;
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
};
inline PlainMatrix someSquare(FuzzedDataProvider& in, uint64_t n, bool symmetric) {
  const unsigned density = in.ConsumeIntegral<uint8_t>();
  const Palette palette = somePalette(in);
  Random random = randomFrom(in);
  const SparsePattern pattern = somePattern(random, n, n, density, symmetric, 1 << 14);
  PlainMatrix matrix{n, pattern.jc, pattern.ir, {}};
  for (size_t k = 0; k < pattern.ir.size(); ++k) matrix.pr.push_back(palette.pick(random));
  return matrix;
}

// The kernels' read-only view of a plain matrix.
inline MatrixView viewOf(const PlainMatrix& matrix) {
  return MatrixView{matrix.n, matrix.n, matrix.pr.data(), nullptr, matrix.ir.data(), matrix.jc.data()};
}

// n values from a palette.
inline std::vector<double> someValues(FuzzedDataProvider& in, uint64_t n) {
  const Palette palette = somePalette(in);
  Random random = randomFrom(in);
  std::vector<double> values(n);
  for (double& value : values) value = palette.pick(random);
  return values;
}

// Runs `check` once for each CPU path of `kernel` this processor has.
template <typename Check>
void onEveryPath(PathKernel kernel, Check check) {
  for (int path = 0; path < kCpuPathCount; ++path)
    if (kernelRunsPath(kernel, (CpuPath)path)) check((CpuPath)path);
}

// What the attribute-similarity kernels are given besides their table: a list of node numbers
// (strictly ascending, in range, as the gateways make sure), a threshold and a room of at most
// every ordered pair, sometimes too small.
struct SimilarityCall {
  std::vector<double> nodesToKeep;
  double threshold;
  uint64_t room;
};
inline SimilarityCall someSimilarityCall(FuzzedDataProvider& in, uint64_t numNodes) {
  SimilarityCall call;
  const uint64_t listed = in.ConsumeIntegralInRange<uint64_t>(0, numNodes);
  Random random = randomFrom(in);
  call.nodesToKeep = ascendingNodes(random, numNodes, listed);
  call.threshold = someThreshold(in);
  const uint64_t pairs = listed * listed;
  call.room = in.ConsumeBool() ? pairs : in.ConsumeIntegralInRange<uint64_t>(0, pairs);
  return call;
}
