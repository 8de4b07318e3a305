#include "normalise/tessaly.h"

#include "frame/host.h"
#include "normalise/degree_fetch.h"

// Turns each stored count v = C(r, j) into v / (d[r] + d[j] - v), keeping only entries whose union
// is positive and whose similarity exceeds `threshold`.
//
// Whether an entry is kept follows no pattern a processor could predict, so every entry is
// written at the running count and the count moves on only when it is kept: an entry dropped is
// overwritten by the next one. The count never passes the entries read, so this stays within the
// room. A union that is not positive is replaced by 1 before dividing and its entry dropped:
// nothing is ever divided by a union of 0, below 0 or NaN. (Two entries a step with SSE2 were
// slower: the second entry's place waits on the first one's test.)
void tessaly(const MatrixView& C, const double* d, double threshold, const SparseView& S) {
  // The arrays in locals: the compiler cannot know that a store to S leaves the views unchanged.
  const uint64_t *irC = C.ir, *jcC = C.jc;
  const double* prC = C.pr;
  const uint64_t n = C.n;
  uint64_t *irS = S.ir, *jcS = S.jc;
  double* prS = S.pr;
  mexPrintf("tessaly: nnz = %d\n", low32(jcC[n]));
  const int32_t stored = low32(jcC[n]);
  int32_t count = 0;
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = widen(count);
    const double columnDegree = d[j];
    const int32_t end = low32(jcC[j + 1]);
    for (int32_t k = low32(jcC[j]); k < end; ++k) {
      fetchDegreeAhead(irC, d, k, stored);
      const double v = prC[k];
      // The degrees are added first, then the shared count is taken off.
      const double unionSize = (d[low32(irC[k])] + columnDegree) - v;
      const bool positive = unionSize > 0.0;
      const double similarity = v / (positive ? unionSize : 1.0);
      prS[count] = similarity;
      irS[count] = irC[k];
      count += positive & (similarity > threshold);
    }
  }
  jcS[n] = widen(count);
}
