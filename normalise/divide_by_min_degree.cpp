#include "normalise/divide_by_min_degree.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/sparse_view.h"

// The divisor of an entry in row r and column j: d[r] truncated, or d[j] truncated when the
// truncated d[r] exceeds d[j].
static int32_t smallerDegree(double rowDegree, double columnDegree) {
  const int32_t divisor = saturatingInt32(rowDegree);
  if ((double)divisor > columnDegree) return saturatingInt32(columnDegree);
  return divisor;
}

// Divides every stored entry C(r, j) by the smaller degree of r and j; S gets C's structure whole.
// A divisor of 0 is left to IEEE arithmetic: +Inf, -Inf, or NaN for a stored 0.
void divideByMinDegree(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d,
                       uint64_t n, uint64_t* irS, uint64_t* jcS, double* prS) {
  jcS[n] = jcC[n];
  mexPrintf("nnz = %d\n", low32(jcC[n]));
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = jcC[j];
    const int32_t end = low32(jcC[j + 1]);
    for (int32_t k = low32(jcC[j]); k < end; ++k) {
      prS[k] = prC[k] / (double)smallerDegree(d[low32(irC[k])], d[j]);
      irS[k] = irC[k];
    }
  }
}
