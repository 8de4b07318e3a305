// Two-wide SSE2 steps of the normalisation kernels (the x86-64 baseline): the degrees of two
// entries' row nodes, and a truncation that matches saturatingInt32 lane for lane.
#pragma once

#include "frame/cpu_dispatch.h"
#include "frame/sparse_view.h"

#if defined(NETSPARSE_X86_64)

// How many entries ahead the degree of a row node is fetched into the cache: the rows of a
// column of common-neighbour counts are scattered over the whole degree vector, and fetching
// them early keeps many fetches in flight instead of waiting on each.
const int32_t kFetchAhead = 32;

// Starts fetching the degrees of the row nodes of entries k + kFetchAhead and one after it,
// when they lie before `stored`, the number of entries C stores.
static inline void fetchDegreesAhead(const uint64_t* ir, const double* d, int32_t k, int32_t stored) {
  if (k + kFetchAhead + 1 >= stored) return;
  _mm_prefetch((const char*)(d + low32(ir[k + kFetchAhead])), _MM_HINT_T0);
  _mm_prefetch((const char*)(d + low32(ir[k + kFetchAhead + 1])), _MM_HINT_T0);
}

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
