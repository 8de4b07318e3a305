// Random common-neighbour counts with degrees, for the normalisation benchmarks.
#pragma once

#include "bench/random_sparse.h"

struct RandomCounts {
  PlainSparse C;
  std::vector<double> degrees;
};

// An n-by-n matrix with about `perColumn` counts a column, each from 1 to 5, and degrees from 5 to 54.
inline RandomCounts randomCounts(uint64_t n, unsigned perColumn, unsigned seed) {
  RandomCounts counts{randomSparse(n, perColumn, seed), std::vector<double>(n)};
  std::mt19937_64 random(seed + 1);
  for (double& value : counts.C.pr) value = (double)(1 + random() % 5);
  for (double& degree : counts.degrees) degree = (double)(5 + random() % 50);
  return counts;
}
