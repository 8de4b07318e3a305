// The similarity blocks of tessaly5a, one per code path, over a table of doubles with one row per
// node (attribute a of node v at a * numNodes + v). Per attribute the two nodes' values are
// truncated toward zero to 32-bit integers (NaN as 0, beyond the range its nearest end) and
// added: a sum of 1 is held by either node, 2 by both.
#include "similarity/row_sum_blocks.h"

#include "frame/numbers.h"
#include "similarity/block_similarities.h"

// One value at a time, the column's value shared by the block's rows: the path of every
// processor and the x86-64 baseline.
static unsigned rowSumBlockPortable(const MatrixView& nodeAtts, int32_t column, uint32_t, const int32_t* rows,
                                    double threshold, double* similarities) {
  const double* table = nodeAtts.pr;
  const uint64_t numNodes = nodeAtts.m, numAttrs = nodeAtts.n;
  uint32_t either[kRowsPerBlock] = {0}, both[kRowsPerBlock] = {0};
  for (uint64_t offset = 0, end = numAttrs * numNodes; offset < end; offset += numNodes) {
    const int64_t valueP = saturatingInt32(table[offset + column]);
    for (int i = 0; i < kRowsPerBlock; ++i) {
      const int64_t sum = valueP + saturatingInt32(table[offset + rows[i]]);
      either[i] += sum == 1 || sum == 2;
      both[i] += sum == 2;
    }
  }
  return similaritiesPortable(either, both, threshold, similarities);
}

#if defined(NETSPARSE_X86_64)

// AVX2 truncates with the processor's own conversion, exact for every value whose truncation
// lies in the 32-bit range (NaN and values beyond it give 0x80000000), and adds in 32 bits: exact
// while both values truncate into -2^30 to 2^30 - 1. A block in which any value truncates outside
// that range is counted again exactly by the portable path, so only such tables pay for it.

// Four values of a node truncated toward zero, one 32-bit lane each.
TARGET_AVX2 static inline __m128i truncatedAvx2(__m256d values) { return _mm256_cvttpd_epi32(values); }

// Lanes whose truncation lies outside -2^30 to 2^30 - 1 get their sign bit set when or-ed in.
TARGET_AVX2 static inline __m256i outsideAvx2(__m256i truncated) {
  return _mm256_add_epi32(truncated, _mm256_set1_epi32(0x40000000));
}

// The four values at first[offsets].
TARGET_AVX2 static inline __m256d gatheredAvx2(const double* first, __m128i offsets) {
  const __m256d every = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), first, offsets, every, 8);
}

// The values first[offsets[0..7]] truncated, of eight rows from the block's row `from` on:
// loaded together when the block's rows are neighbours in the table, gathered otherwise.
TARGET_AVX2 static inline __m256i rowValuesAvx2(const double* first, int from, bool neighbours,
                                                const __m128i* offsets) {
  const __m256d low = neighbours ? _mm256_loadu_pd(first + from) : gatheredAvx2(first, offsets[0]);
  const __m256d high = neighbours ? _mm256_loadu_pd(first + from + 4) : gatheredAvx2(first, offsets[1]);
  return _mm256_inserti128_si256(_mm256_castsi128_si256(truncatedAvx2(low)), truncatedAvx2(high), 1);
}

// AVX2: eight rows a vector of 32-bit lanes, the block's rows in groups of eight sharing each
// value of the column node. Rows that are neighbours in the table share cache lines.
TARGET_AVX2 static unsigned rowSumBlockAvx2(const MatrixView& nodeAtts, int32_t column, uint32_t, const int32_t* rows,
                                            double threshold, double* similarities) {
  const int kGroups = kRowsPerBlock / 8;
  const double* table = nodeAtts.pr;
  const uint64_t numNodes = nodeAtts.m, numAttrs = nodeAtts.n;
  bool neighbours = true;
  for (int i = 1; i < kRowsPerBlock; ++i) neighbours &= rows[i] == rows[0] + i;
  __m128i offsets[2 * kGroups];
  for (int i = 0; i < 2 * kGroups; ++i)
    offsets[i] = _mm_sub_epi32(_mm_loadu_si128((const __m128i*)(rows + 4 * i)), _mm_set1_epi32(rows[0]));
  const __m256i one = _mm256_set1_epi32(1), two = _mm256_set1_epi32(2);
  __m256i ones[kGroups], twos[kGroups], outside = _mm256_setzero_si256();
  for (int g = 0; g < kGroups; ++g) ones[g] = twos[g] = outside;
  for (uint64_t offset = 0, end = numAttrs * numNodes; offset < end; offset += numNodes) {
    const double* first = table + offset + rows[0];
    const __m256i valueP = _mm256_set1_epi32(_mm_cvttsd_si32(_mm_load_sd(table + offset + column)));
    outside = _mm256_or_si256(outside, outsideAvx2(valueP));
    for (int g = 0; g < kGroups; ++g) {
      const __m256i valuesQ = rowValuesAvx2(first, 8 * g, neighbours, offsets + 2 * g);
      outside = _mm256_or_si256(outside, outsideAvx2(valuesQ));
      const __m256i sums = _mm256_add_epi32(valueP, valuesQ);
      ones[g] = _mm256_sub_epi32(ones[g], _mm256_cmpeq_epi32(sums, one));
      twos[g] = _mm256_sub_epi32(twos[g], _mm256_cmpeq_epi32(sums, two));
    }
  }
  if (_mm256_movemask_ps(_mm256_castsi256_ps(outside)) != 0)
    return rowSumBlockPortable(nodeAtts, column, 0, rows, threshold, similarities);
  unsigned above = 0;
  for (int g = 0; g < kGroups; ++g) {
    const __m256i either = _mm256_add_epi32(ones[g], twos[g]);
    above |= similaritiesOfFourAvx2(_mm256_castsi256_si128(either), _mm256_castsi256_si128(twos[g]), threshold,
                                    similarities + 8 * g) << 8 * g;
    above |= similaritiesOfFourAvx2(_mm256_extracti128_si256(either, 1), _mm256_extracti128_si256(twos[g], 1),
                                    threshold, similarities + 8 * g + 4) << (8 * g + 4);
  }
  return above;
}

#endif

SimilarityBlock rowSumBlockOf([[maybe_unused]] CpuPath path) {
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path) return rowSumBlockAvx2;
#endif
  return rowSumBlockPortable;
}
