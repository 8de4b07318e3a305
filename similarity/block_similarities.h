// The end of every similarity block, one function per code path: from the attributes either and
// both of a pair hold, the similarity both / either (0 where either is 0, as both then is) and
// the bits of the pairs strictly above the threshold (a NaN threshold passes none). Division is
// correctly rounded in every path, so all give the same bits.
#pragma once

#include "frame/vector_instructions.h"
#include "similarity/listed_blocks.h"

// kRowsPerBlock pairs, one at a time.
static inline unsigned similaritiesPortable(const uint32_t* either, const uint32_t* both, double threshold,
                                            double* similarities) {
  unsigned above = 0;
  for (int i = 0; i < kRowsPerBlock; ++i) {
    similarities[i] = either[i] > 0 ? (double)both[i] / (double)either[i] : 0.0;
    above |= (unsigned)(similarities[i] > threshold) << i;
  }
  return above;
}

#if defined(NETSPARSE_X86_64)

// Two pairs, from the two low 32-bit lanes of either and both.
static inline unsigned similaritiesOfTwoSse2(__m128i either, __m128i both, __m128d threshold, double* similarities) {
  const __m128d inEither = _mm_cvtepi32_pd(either), inBoth = _mm_cvtepi32_pd(both);
  const __m128d quotient = _mm_and_pd(_mm_div_pd(inBoth, inEither), _mm_cmpgt_pd(inEither, _mm_setzero_pd()));
  _mm_storeu_pd(similarities, quotient);
  return (unsigned)_mm_movemask_pd(_mm_cmpgt_pd(quotient, threshold));
}

// Four pairs, from the four 32-bit lanes of either and both.
static inline unsigned similaritiesOfFourSse2(__m128i either, __m128i both, double threshold, double* similarities) {
  const __m128d bound = _mm_set1_pd(threshold);
  const unsigned low = similaritiesOfTwoSse2(either, both, bound, similarities);
  const unsigned high = similaritiesOfTwoSse2(_mm_shuffle_epi32(either, 0x0E), _mm_shuffle_epi32(both, 0x0E), bound,
                                              similarities + 2);
  return low | high << 2;
}

// Four pairs, from the four 32-bit lanes of either and both.
TARGET_AVX2 static inline unsigned similaritiesOfFourAvx2(__m128i either, __m128i both, double threshold,
                                                          double* similarities) {
  const __m256d inEither = _mm256_cvtepi32_pd(either), inBoth = _mm256_cvtepi32_pd(both);
  const __m256d quotient = _mm256_and_pd(_mm256_div_pd(inBoth, inEither),
                                         _mm256_cmp_pd(inEither, _mm256_setzero_pd(), _CMP_GT_OQ));
  _mm256_storeu_pd(similarities, quotient);
  return (unsigned)_mm256_movemask_pd(_mm256_cmp_pd(quotient, _mm256_set1_pd(threshold), _CMP_GT_OQ));
}

#endif
