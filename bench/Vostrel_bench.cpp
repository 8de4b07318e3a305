// Time of one division of random counts by the smaller degree of their two nodes.
#include <benchmark/benchmark.h>

#include "bench/random_counts.h"
#include "normalise/divide_by_min_degree.h"

static void divideRandom(benchmark::State& state) {
  const uint64_t n = state.range(0);
  const RandomCounts counts = randomCounts(n, 10, 4);
  const PlainSparse& C = counts.C;
  std::vector<uint64_t> jc(n + 1), ir(C.pr.size());
  std::vector<double> pr(C.pr.size());
  for (auto _ : state) {
    divideByMinDegree(C.view(), counts.degrees.data(), outputOf(jc, ir, pr));
    benchmark::DoNotOptimize(pr.data());
  }
  state.SetItemsProcessed(state.iterations() * C.pr.size());
}
BENCHMARK(divideRandom)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
