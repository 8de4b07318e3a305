// Time of one merge of two random n-by-n matrices, weighting half or all of them.
#include <benchmark/benchmark.h>

#include "bench/random_sparse.h"
#include "merge/corvane.h"

static void mergeRandom(benchmark::State& state) {
  const uint64_t n = state.range(0);
  const int64_t blockEnd = state.range(1) ? (int64_t)n : (int64_t)n / 2;
  const PlainSparse A = randomSparse(n, 10, 1), B = randomSparse(n, 10, 2);
  const size_t room = A.pr.size() + B.pr.size();
  std::vector<uint64_t> jc(n + 1), ir(room);
  std::vector<double> pr(room);
  for (auto _ : state) {
    corvane(A.view(), B.view(), blockEnd, 0.5, outputOf(jc, ir, pr));
    benchmark::DoNotOptimize(pr.data());
  }
  state.SetItemsProcessed(state.iterations() * room);
}
BENCHMARK(mergeRandom)->ArgsProduct({{10000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond);
