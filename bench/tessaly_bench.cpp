// Time of one Jaccard normalisation of random counts, keeping every entry or about half of them.
#include <benchmark/benchmark.h>

#include "bench/random_counts.h"
#include "normalise/tessaly.h"

static void normaliseRandom(benchmark::State& state) {
  const uint64_t n = state.range(0);
  const double threshold = state.range(1) ? -1.0 : 0.05;
  const RandomCounts counts = randomCounts(n, 10, 3);
  const PlainSparse& C = counts.C;
  std::vector<uint64_t> jc(n + 1), ir(C.pr.size());
  std::vector<double> pr(C.pr.size());
  for (auto _ : state) {
    tessaly(C.view(), counts.degrees.data(), threshold, outputOf(jc, ir, pr));
    benchmark::DoNotOptimize(pr.data());
  }
  state.counters["kept"] = (double)jc[n] / C.pr.size();
  state.SetItemsProcessed(state.iterations() * C.pr.size());
}
BENCHMARK(normaliseRandom)->ArgsProduct({{10000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond);
