// What the normalisation kernels share: fetching row degrees ahead of their use, and the
// two-wide SSE2 steps (the x86-64 baseline) of Vostrel.
#pragma once

#include "frame/cpu_dispatch.h"
#include "frame/sparse_view.h"

// How many entries ahead the degree of a row node is fetched into the cache: the rows of a
// column of common-neighbour counts are scattered over the whole degree vector, which the
// streamed entries push out of the cache, and fetching them early keeps many fetches in flight
// instead of waiting on each. A fetch never faults.
const int32_t kFetchAhead = 32;

// Starts fetching the degree of the row node of entry k + kFetchAhead, when that entry lies
// before `stored`, the number of entries C stores.
static inline void fetchDegreeAhead(const uint64_t* ir, const double* d, int32_t k, int32_t stored) {
  if (k + kFetchAhead >= stored) return;
#if defined(NETSPARSE_X86_64)
  _mm_prefetch((const char*)(d + low32(ir[k + kFetchAhead])), _MM_HINT_T0);
#elif defined(__GNUC__)
  __builtin_prefetch(d + low32(ir[k + kFetchAhead]));
#endif
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

#endif
