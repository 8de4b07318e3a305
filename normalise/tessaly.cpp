#include "normalise/tessaly.h"

#include "frame/host.h"
#include "frame/sparse_view.h"

// Turns each stored count v = C(r, j) into v / (d[r] + d[j] - v), keeping only entries whose union
// is positive and whose similarity exceeds `threshold`.
void tessaly(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
             double threshold, uint64_t* irS, uint64_t* jcS, double* prS) {
  mexPrintf("tessaly: nnz = %d\n", low32(jcC[n]));
  int32_t count = 0;
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = widen(count);
    const int32_t end = low32(jcC[j + 1]);
    for (int32_t k = low32(jcC[j]); k < end; ++k) {
      const double v = prC[k];
      // The degrees are added first, then the shared count is taken off; a union that is 0,
      // negative or not a number is never divided by.
      const double unionSize = (d[low32(irC[k])] + d[j]) - v;
      if (!(unionSize > 0.0)) continue;
      const double similarity = v / unionSize;
      if (!(similarity > threshold)) continue;
      prS[count] = similarity;
      irS[count] = irC[k];
      ++count;
    }
  }
  jcS[n] = widen(count);
}
