// neighborJaccard and neighborOverlap against the common-neighbour counts C = P * P formed in full
// and the plain formulas, bit for bit, on directed and symmetric graphs, double or logical, with
// stored zeros (no edge) and NaN (an edge), written into exactly the room the pass asks for; each
// by the pass the kernel chooses and by the pass by prefixes, on as many threads as the fuzzer
// picks, a thread for every unit of work.
#include <math.h>

#include "neighbors/neighbor_measures.h"
#include "neighbors/neighbor_similarity.h"
#include "neighbors/neighbor_store.h"
#include "fuzz/support/kernel_results.h"

namespace {

// The edges of G as a dense n-by-n pattern: edge[r * n + k] for r -> k.
std::vector<char> edgesOf(const PlainMatrix& G, const std::vector<uint8_t>& bytes, bool logical) {
  std::vector<char> edge(G.n * G.n, 0);
  for (uint64_t j = 0; j < G.n; ++j)
    for (uint64_t k = G.jc[j]; k < G.jc[j + 1]; ++k) edge[G.ir[k] * G.n + j] = logical ? bytes[k] != 0 : G.pr[k] != 0;
  return edge;
}

// The entries C(r, j) > 0 whose formula value is strictly above the threshold, column by column.
template <typename Formula>
StoredResult expectedPairs(const std::vector<char>& edge, uint64_t n, double threshold, Formula formula) {
  std::vector<double> degree(n, 0.0);
  for (uint64_t r = 0; r < n; ++r)
    for (uint64_t k = 0; k < n; ++k) degree[r] += edge[r * n + k];
  OutputArrays kept(n, n * n);
  uint64_t stored = 0;
  for (uint64_t j = 0; j < n; ++j) {
    for (uint64_t r = 0; r < n; ++r) {
      double shared = 0;
      for (uint64_t k = 0; k < n; ++k) shared += edge[r * n + k] && edge[k * n + j];
      const double value = formula(shared, degree[r], degree[j]);
      if (shared == 0 || !(value > threshold)) continue;
      kept.ir[stored] = r;
      kept.pr[stored++] = value;
    }
    kept.jc[j + 1] = stored;
  }
  return storedPart(kept);
}

// What a kernel's pass stores into exactly the room it asks for.
StoredResult storedByKernel(NeighborPairs found) {
  OutputArrays out(found.n, found.entries);
  storeNeighborPairs(found, out.view());
  expectThat(testhostFreeWorkspace() == 0, "the pass left workspace");
  StoredResult result = storedPart(out);
  result.printed.clear();
  return result;
}

// The pass `pass` of `measure` above `threshold` on `threads` threads, a thread for every unit of
// work (the pass by prefixes wherever the request allows it).
NeighborPairs onThreads(const MatrixView& G, const NeighborMeasure& measure, double threshold, PassChoice pass,
                        int32_t threads) {
  NeighborRequest request = thresholdedRequest("threads", "", "", "", measure, (int32_t)G.n, threshold);
  request.limits.pass = pass;
  request.limits.workPerThread = 1;
  request.pairs.threads = threads;
  return findNeighborPairs(request, G);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const bool logical = in.ConsumeBool();
  PlainMatrix G = someSquare(in, someCount(in, 24), in.ConsumeBool());
  Random random = randomFrom(in);
  std::vector<uint8_t> bytes(G.ir.size());
  for (uint8_t& byte : bytes) byte = someByte(random);
  const double threshold = someThreshold(in);
  const int32_t threads = in.ConsumeIntegralInRange<int32_t>(1, 4);
  const MatrixView view = {G.n, G.n, logical ? nullptr : G.pr.data(), logical ? bytes.data() : nullptr,
                           G.ir.data(), G.jc.data()};
  const std::vector<char> edge = edgesOf(G, bytes, logical);
  const StoredResult jaccard = expectedPairs(
      edge, G.n, threshold, [](double v, double dr, double dj) { return (dr + dj) - v > 0 ? v / ((dr + dj) - v) : NAN; });
  expectSame(jaccard, storedByKernel(neighborJaccard(view, threshold)), "neighborJaccard");
  expectSame(jaccard, storedByKernel(onThreads(view, neighborJaccardMeasure(), threshold, kCheaperPass, threads)),
             "neighborJaccard on threads");
  expectSame(jaccard, storedByKernel(onThreads(view, neighborJaccardMeasure(), threshold, kPrefixPass, threads)),
             "jaccard by prefixes");
  const StoredResult overlap =
      expectedPairs(edge, G.n, threshold, [](double v, double dr, double dj) { return v / (dr < dj ? dr : dj); });
  expectSame(overlap, storedByKernel(neighborOverlap(view, threshold)), "neighborOverlap");
  expectSame(overlap, storedByKernel(onThreads(view, neighborOverlapMeasure(), threshold, kCheaperPass, threads)),
             "neighborOverlap on threads");
  expectSame(overlap, storedByKernel(onThreads(view, neighborOverlapMeasure(), threshold, kPrefixPass, threads)),
             "overlap by prefixes");
  return 0;
}
