// Random sparse matrices as plain arrays, for the benchmarks.
#pragma once

#include <stdint.h>

#include <random>
#include <vector>

#include "frame/sparse_view.h"

struct PlainSparse {
  uint64_t n = 0;
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
  // The kernels' read-only view of the matrix.
  MatrixView view() const { return MatrixView{n, n, pr.data(), nullptr, ir.data(), jc.data()}; }
};

// The kernels' view of an n-by-n output's arrays.
inline SparseView outputOf(std::vector<uint64_t>& jc, std::vector<uint64_t>& ir, std::vector<double>& pr) {
  return SparseView{jc.size() - 1, jc.size() - 1, pr.data(), ir.data(), jc.data(), ir.size()};
}

// An n-by-n matrix with about `perColumn` entries a column, values uniform in [-0.5, 1).
inline PlainSparse randomSparse(uint64_t n, unsigned perColumn, unsigned seed) {
  std::mt19937_64 random(seed);
  PlainSparse matrix;
  matrix.n = n;
  matrix.jc.push_back(0);
  std::uniform_real_distribution<double> value(-0.5, 1.0);
  for (uint64_t j = 0; j < n; ++j) {
    const uint64_t step = n / (perColumn + 1) + 1;
    for (uint64_t row = random() % step; row < n; row += 1 + random() % (2 * step)) {
      matrix.ir.push_back(row);
      matrix.pr.push_back(value(random));
    }
    matrix.jc.push_back(matrix.ir.size());
  }
  return matrix;
}
