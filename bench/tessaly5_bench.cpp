// Time of one pass of tessaly5 over every listed node of a random logical table, by number of
// nodes and attributes; few pairs pass the threshold, so the counting of attributes dominates.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/similarity_buffers.h"
#include "similarity/tessaly5.h"

static void similarityOfRandomTable(benchmark::State& state) {
  const uint64_t numNodes = state.range(0), numAttrs = state.range(1);
  std::mt19937_64 random(5);
  std::vector<uint8_t> atts(numNodes * numAttrs);
  for (uint8_t& byte : atts) byte = random() % 4 == 0;
  EveryPair pass = everyPairOf(numNodes);
  for (auto _ : state) {
    tessaly5(MatrixView{numAttrs, numNodes, nullptr, atts.data(), nullptr, nullptr}, pass.nodes(), 0.5, pass.output());
    benchmark::DoNotOptimize(pass.pr.data());
  }
  state.SetItemsProcessed(state.iterations() * pass.room);
  state.SetBytesProcessed(state.iterations() * pass.room * numAttrs * 2);
}
BENCHMARK(similarityOfRandomTable)->Args({3000, 0})->Args({2000, 16})->Args({1000, 256})->Args({250, 4096})
    ->Unit(benchmark::kMillisecond);

// Time of a pass that stores every pair: the storing and column starts alone.
static void storeEveryPair(benchmark::State& state) {
  const uint64_t numNodes = state.range(0);
  EveryPair pass = everyPairOf(numNodes);
  for (auto _ : state) {
    tessaly5(MatrixView{0, numNodes, nullptr, nullptr, nullptr, nullptr}, pass.nodes(), -1.0, pass.output());
    benchmark::DoNotOptimize(pass.pr.data());
  }
  state.SetItemsProcessed(state.iterations() * pass.room);
}
BENCHMARK(storeEveryPair)->Arg(3000)->Unit(benchmark::kMillisecond);
