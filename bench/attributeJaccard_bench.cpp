// attributeJaccard against tessaly5 on the same random logical tables: every node listed, by
// number of nodes, attributes, density (per mille) and threshold (percent). attributeJaccard runs
// on each CPU path this processor has, into buffers grown to the room it asks for; tessaly5 into
// buffers with room for every pair.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/similarity_buffers.h"
#include "attributes/attribute_pairs.h"
#include "attributes/attribute_store.h"
#include "similarity/tessaly5.h"

namespace {

// A numAttrs-by-numNodes logical table holding each attribute with the given probability.
std::vector<uint8_t> randomTable(uint64_t numNodes, uint64_t numAttrs, double density) {
  std::mt19937_64 random(11);
  std::bernoulli_distribution held(density);
  std::vector<uint8_t> atts(numNodes * numAttrs);
  for (uint8_t& byte : atts) byte = held(random);
  return atts;
}

// A result's arrays, grown to whatever room the kernel asks for and kept from one run to the next.
struct ResultBuffers {
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
};

// The buffers as an n-by-n result with room for `stored` entries.
SparseView resultIn(ResultBuffers& result, uint64_t n, uint64_t stored) {
  result.jc.resize(n + 1);
  if (result.ir.size() < stored) result.ir.resize(stored), result.pr.resize(stored);
  return SparseView{n, n, result.pr.data(), result.ir.data(), result.jc.data(), stored};
}

void attributeJaccardOnPath(benchmark::State& state, CpuPath path) {
  const uint64_t numNodes = state.range(0), numAttrs = state.range(1);
  const std::vector<uint8_t> atts = randomTable(numNodes, numAttrs, state.range(2) / 1000.0);
  const MatrixView table = {numAttrs, numNodes, nullptr, atts.data(), nullptr, nullptr};
  ResultBuffers result;
  std::vector<int32_t> nodes(numNodes);
  for (uint64_t k = 0; k < numNodes; ++k) nodes[k] = (int32_t)k;
  if (!kernelRunsPath(kAttributePairsKernel, path)) return state.SkipWithError("this processor lacks the path");
  for (auto _ : state) {
    AttributePairs found = findAttributePairs(
        attributeJaccardRequest(state.range(3) / 100.0, numNodes, kMaxEntries, path), table, nodes.data(), numNodes);
    storeAttributePairs(found, resultIn(result, numNodes, found.entries));
    benchmark::DoNotOptimize(result.pr.data());
  }
  state.counters["stored"] = (double)result.jc[numNodes];
}

void tessaly5Kernel(benchmark::State& state) {
  const uint64_t numNodes = state.range(0), numAttrs = state.range(1);
  const std::vector<uint8_t> atts = randomTable(numNodes, numAttrs, state.range(2) / 1000.0);
  EveryPair pass = everyPairOf(numNodes);
  for (auto _ : state) {
    tessaly5(MatrixView{numAttrs, numNodes, nullptr, atts.data(), nullptr, nullptr}, pass.nodes(),
             state.range(3) / 100.0, pass.output());
    benchmark::DoNotOptimize(pass.pr.data());
  }
  state.counters["stored"] = (double)pass.jc[numNodes];
}

// 3000 nodes of 256 and 1024 attributes, density 0.1 and 0.01, thresholds 0 and 0.2.
void sizesOfBoth(benchmark::internal::Benchmark* run) {
  run->ArgNames({"nodes", "attrs", "permille", "percent"})->Unit(benchmark::kMillisecond);
  for (int64_t attrs : {256, 1024})
    for (int64_t permille : {100, 10})
      for (int64_t percent : {0, 20}) run->Args({3000, attrs, permille, percent});
}

// The same at 20,000 nodes, which tessaly5 takes minutes for.
void largeSizes(benchmark::internal::Benchmark* run) {
  run->ArgNames({"nodes", "attrs", "permille", "percent"})->Unit(benchmark::kMillisecond);
  for (int64_t attrs : {256, 1024})
    for (int64_t permille : {100, 10}) run->Args({20000, attrs, permille, 20});
}

}  // namespace

BENCHMARK_CAPTURE(attributeJaccardOnPath, avx2, kAvx2Path)->Apply(sizesOfBoth);
BENCHMARK_CAPTURE(attributeJaccardOnPath, sse2, kSse2Path)->Apply(sizesOfBoth);
BENCHMARK_CAPTURE(attributeJaccardOnPath, portable, kPortablePath)->Apply(sizesOfBoth);
BENCHMARK(tessaly5Kernel)->Apply(sizesOfBoth)->Iterations(1);
BENCHMARK_CAPTURE(attributeJaccardOnPath, avx2, kAvx2Path)->Apply(largeSizes);
