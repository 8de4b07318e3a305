#include "normalise/tessaly.h"

#include "frame/host.h"
#include "frame/sparse_view.h"
#include "normalise/degree_pairs.h"

// Whether an entry is kept follows no pattern a processor could predict, so every entry is
// written at the running count and the count moves on only when it is kept: an entry dropped is
// overwritten by the next one. The count never passes the entries read, so this stays within the
// room. A union that is not positive is replaced by 1 before dividing and its entry dropped:
// nothing is ever divided by a union of 0, below 0 or NaN.

// Entries k to end - 1 of column j of degree columnDegree, one at a time, appended at `count`;
// returns the new count. Every processor's path, and the last odd entry.
static int32_t keepEntries(const uint64_t* irC, const double* prC, const double* d, double columnDegree,
                           double threshold, int32_t k, int32_t end, int32_t, uint64_t* irS, double* prS,
                           int32_t count) {
  for (; k < end; ++k) {
    const double v = prC[k];
    // The degrees are added first, then the shared count is taken off.
    const double unionSize = (d[low32(irC[k])] + columnDegree) - v;
    const bool positive = unionSize > 0.0;
    const double similarity = v / (positive ? unionSize : 1.0);
    prS[count] = similarity;
    irS[count] = irC[k];
    count += positive & (similarity > threshold);
  }
  return count;
}

#if defined(NETSPARSE_X86_64)
// The same two entries at a time (SSE2, the x86-64 baseline), of `stored` entries in all.
static int32_t keepEntriesSse2(const uint64_t* irC, const double* prC, const double* d, double columnDegree,
                               double threshold, int32_t k, int32_t end, int32_t stored, uint64_t* irS, double* prS,
                               int32_t count) {
  const __m128d degreeJ = _mm_set1_pd(columnDegree), bound = _mm_set1_pd(threshold), one = _mm_set1_pd(1.0);
  for (; k + 1 < end; k += 2) {
    fetchDegreesAhead(irC, d, k, stored);
    const __m128d v = _mm_loadu_pd(prC + k);
    const __m128d unionSize = _mm_sub_pd(_mm_add_pd(rowDegreesSse2(irC, d, k), degreeJ), v);
    const __m128d positive = _mm_cmpgt_pd(unionSize, _mm_setzero_pd());
    const __m128d similarity =
        _mm_div_pd(v, _mm_or_pd(_mm_and_pd(positive, unionSize), _mm_andnot_pd(positive, one)));
    const int kept = _mm_movemask_pd(_mm_and_pd(positive, _mm_cmpgt_pd(similarity, bound)));
    _mm_storel_pd(prS + count, similarity);
    irS[count] = irC[k];
    count += kept & 1;
    _mm_storeh_pd(prS + count, similarity);
    irS[count] = irC[k + 1];
    count += kept >> 1;
  }
  return keepEntries(irC, prC, d, columnDegree, threshold, k, end, stored, irS, prS, count);
}
#endif

// Turns each stored count v = C(r, j) into v / (d[r] + d[j] - v) on the chosen path.
void tessalyOnPath([[maybe_unused]] CpuPath path, const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d,
                   uint64_t n, double threshold, uint64_t* irS, uint64_t* jcS, double* prS) {
  int32_t (*keep)(const uint64_t*, const double*, const double*, double, double, int32_t, int32_t, int32_t,
                  uint64_t*, double*, int32_t) = keepEntries;
#if defined(NETSPARSE_X86_64)
  if (path != kPortablePath) keep = keepEntriesSse2;
#endif
  mexPrintf("tessaly: nnz = %d\n", low32(jcC[n]));
  const int32_t stored = low32(jcC[n]);
  int32_t count = 0;
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = widen(count);
    count = keep(irC, prC, d, d[j], threshold, low32(jcC[j]), low32(jcC[j + 1]), stored, irS, prS, count);
  }
  jcS[n] = widen(count);
}

// Turns each stored count v = C(r, j) into v / (d[r] + d[j] - v), keeping only entries whose union
// is positive and whose similarity exceeds `threshold`.
void tessaly(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
             double threshold, uint64_t* irS, uint64_t* jcS, double* prS) {
  tessalyOnPath(widestCpuPath(), irC, jcC, prC, d, n, threshold, irS, jcS, prS);
}
