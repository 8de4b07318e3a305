// Time of one pass of tessaly5a over every listed node of a random 0/1 table with one row per
// node, by number of nodes and attributes; few pairs pass the threshold.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/similarity_buffers.h"
#include "similarity/tessaly5a.h"

static void similarityOfRandomRows(benchmark::State& state) {
  const uint64_t numNodes = state.range(0), numAttrs = state.range(1);
  std::mt19937_64 random(6);
  std::vector<double> table(numNodes * numAttrs);
  for (double& value : table) value = random() % 4 == 0;
  EveryPair pass = everyPairOf(numNodes);
  for (auto _ : state) {
    tessaly5a(MatrixView{numNodes, numAttrs, table.data(), nullptr, nullptr, nullptr}, pass.nodes(), 0.5,
              pass.output());
    benchmark::DoNotOptimize(pass.pr.data());
  }
  state.SetItemsProcessed(state.iterations() * pass.room);
}
BENCHMARK(similarityOfRandomRows)->Args({2000, 16})->Args({1000, 256})->Args({250, 4096})
    ->Unit(benchmark::kMillisecond);
