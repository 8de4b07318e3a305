#include "normalise/divide_by_min_degree.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/vector_instructions.h"
#include "normalise/degree_fetch.h"

// The divisor of an entry whose row degree is `rowDegree`, in column j of degree columnDegree
// truncated to columnDivisor: d[r] truncated, or columnDivisor when that exceeds d[j]. Which
// degree is smaller follows no pattern a processor could predict: the choice is a select.
static inline double divisorOf(double rowDegree, double columnDegree, double columnDivisor) {
  const double rowDivisor = (double)saturatingInt32(rowDegree);
  return rowDivisor > columnDegree ? columnDivisor : rowDivisor;
}

// Entries k to end - 1 of column j, one at a time: every processor's path, and the last odd entry.
static void divideEntries(const uint64_t* irC, const double* prC, const double* d, int32_t j, int32_t k,
                          int32_t end, int32_t, uint64_t* irS, double* prS) {
  const double columnDivisor = (double)saturatingInt32(d[j]);
  for (; k < end; ++k) {
    prS[k] = prC[k] / divisorOf(d[low32(irC[k])], d[j], columnDivisor);
    irS[k] = irC[k];
  }
}

#if defined(NETSPARSE_X86_64)

// The degrees of the row nodes of entries k and k + 1, their rows read by their low 32 bits.
static inline __m128d rowDegreesSse2(const uint64_t* ir, const double* d, int32_t k) {
  return _mm_loadh_pd(_mm_load_sd(d + low32(ir[k])), d + low32(ir[k + 1]));
}

// Two values truncated toward zero to 32-bit integers and back to doubles: NaN gives 0, values
// beyond the 32-bit range its nearest end, as saturatingInt32 does. The processor's conversion
// gives 0x80000000 for NaN and for values of 2^31 and above; the first is cleared, the second
// flipped to 0x7fffffff.
static inline __m128d saturatedSse2(__m128d values) {
  const __m128i truncated = _mm_cvttpd_epi32(values);
  const __m128i numbers = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpord_pd(values, values)), 0x08);
  const __m128i above = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpge_pd(values, _mm_set1_pd(2147483648.0))), 0x08);
  return _mm_cvtepi32_pd(_mm_and_si128(_mm_xor_si128(truncated, above), numbers));
}

// Entries k to end - 1 of column j, two at a time (SSE2, the x86-64 baseline), of `stored` in all.
static void divideEntriesSse2(const uint64_t* irC, const double* prC, const double* d, int32_t j, int32_t k,
                              int32_t end, int32_t stored, uint64_t* irS, double* prS) {
  const __m128d columnDegree = _mm_set1_pd(d[j]), columnDivisor = saturatedSse2(columnDegree);
  for (; k + 1 < end; k += 2) {
    fetchDegreeAhead(irC, d, k, stored);
    fetchDegreeAhead(irC, d, k + 1, stored);
    const __m128d rowDivisor = saturatedSse2(rowDegreesSse2(irC, d, k));
    const __m128d useColumn = _mm_cmpgt_pd(rowDivisor, columnDegree);
    const __m128d divisor = _mm_or_pd(_mm_and_pd(useColumn, columnDivisor), _mm_andnot_pd(useColumn, rowDivisor));
    _mm_storeu_pd(prS + k, _mm_div_pd(_mm_loadu_pd(prC + k), divisor));
    _mm_storeu_si128((__m128i*)(irS + k), _mm_loadu_si128((const __m128i*)(irC + k)));
  }
  divideEntries(irC, prC, d, j, k, end, stored, irS, prS);
}
#endif

// Divides every stored entry C(r, j) by the smaller degree of r and j on the chosen path.
void divideByMinDegreeOnPath([[maybe_unused]] CpuPath path, const MatrixView& C, const double* d, const SparseView& S) {
  const uint64_t *irC = C.ir, *jcC = C.jc;
  const double* prC = C.pr;
  const uint64_t n = C.n;
  uint64_t *irS = S.ir, *jcS = S.jc;
  double* prS = S.pr;
  void (*divide)(const uint64_t*, const double*, const double*, int32_t, int32_t, int32_t, int32_t, uint64_t*,
                 double*) = divideEntries;
#if defined(NETSPARSE_X86_64)
  if (path != kPortablePath) divide = divideEntriesSse2;
#endif
  jcS[n] = jcC[n];
  mexPrintf("nnz = %d\n", low32(jcC[n]));
  const int32_t stored = low32(jcC[n]);
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = jcC[j];
    divide(irC, prC, d, j, low32(jcC[j]), low32(jcC[j + 1]), stored, irS, prS);
  }
}

// Divides every stored entry C(r, j) by the smaller degree of r and j; S gets C's structure whole.
// A divisor of 0 is left to IEEE arithmetic: +Inf, -Inf, or NaN for a stored 0.
void divideByMinDegree(const MatrixView& C, const double* d, const SparseView& S) {
  divideByMinDegreeOnPath(widestPathOf(kDivideByMinDegreeKernel), C, d, S);
}
