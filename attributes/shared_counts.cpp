#include "attributes/shared_counts.h"

#include "attributes/attribute_bits.h"
#include "frame/vector_instructions.h"

// The lanes of the block starting at row `first` that hold rows after `column` and before `listed`.
static int laterLanes(uint64_t first, uint64_t column, uint64_t listed) {
  int lanes = 0;
  for (uint64_t lane = 0; lane < kInterleavedRows; ++lane)
    lanes |= (first + lane > column && first + lane < listed) << lane;
  return lanes;
}

// Appends the rows of the block starting at `first` whose lanes are set in `passed`.
static uint64_t appendRows(uint64_t first, const uint64_t shared[kInterleavedRows], int passed, SimilarRow* rows,
                           uint64_t count) {
  for (uint64_t lane = 0; lane < kInterleavedRows; ++lane) {
    rows[count] = SimilarRow{(uint32_t)(first + lane), (uint32_t)shared[lane]};
    count += (passed >> lane) & 1;
  }
  return count;
}

// Appends the later rows of the block starting at `first` whose similarity with `column`, from
// their shared counts, is above the threshold: one row at a time.
static uint64_t appendPassing(uint64_t first, const uint64_t shared[kInterleavedRows], const uint32_t* held,
                              uint64_t listed, uint64_t column, double threshold, SimilarRow* rows, uint64_t count) {
  int passed = 0;
  for (uint64_t lane = 0; lane < kInterleavedRows; ++lane)
    passed |= (jaccardOfCounts((uint32_t)shared[lane], held[column], held[first + lane]) > threshold) << lane;
  return appendRows(first, shared, passed & laterLanes(first, column, listed), rows, count);
}

// The column itself, when 1 is above the threshold.
static uint64_t appendDiagonal(const uint32_t* held, uint64_t column, double threshold, SimilarRow* rows) {
  rows[0] = SimilarRow{(uint32_t)column, held[column]};
  return 1.0 > threshold;
}

// Similar rows on any processor: one word of one row at a time.
static uint64_t similarRowsPortable(const uint64_t* bits, const uint32_t* held, uint64_t words, uint64_t listed,
                                    uint64_t column, double threshold, SimilarRow* rows) {
  const uint64_t* mine = bits + bitIndex(words, column, 0);
  uint64_t count = appendDiagonal(held, column, threshold, rows);
  for (uint64_t first = column / kInterleavedRows * kInterleavedRows; first < listed; first += kInterleavedRows) {
    const uint64_t* block = bits + bitIndex(words, first, 0);
    uint64_t shared[kInterleavedRows] = {0, 0, 0, 0};
    for (uint64_t word = 0; word < words; ++word)
      for (uint64_t lane = 0; lane < kInterleavedRows; ++lane)
        shared[lane] += popcount64(block[word * kInterleavedRows + lane] & mine[word * kInterleavedRows]);
    count = appendPassing(first, shared, held, listed, column, threshold, rows, count);
  }
  return count;
}

#if defined(NETSPARSE_X86_64)

// A block's per-row sums of byte counts stay below 256 for this many words.
static const uint64_t kWordsPerByteSum = 31;

// The set bits of each byte of two 64-bit lanes, from SSE2 shifts and masks.
static inline __m128i byteCountsSse2(__m128i v) {
  const __m128i ones = _mm_set1_epi8(0x55), pairs = _mm_set1_epi8(0x33), nibbles = _mm_set1_epi8(0x0f);
  v = _mm_sub_epi8(v, _mm_and_si128(_mm_srli_epi64(v, 1), ones));
  v = _mm_add_epi8(_mm_and_si128(v, pairs), _mm_and_si128(_mm_srli_epi64(v, 2), pairs));
  return _mm_and_si128(_mm_add_epi8(v, _mm_srli_epi64(v, 4)), nibbles);
}

// Similar rows on the x86-64 baseline: shared attributes of two rows per instruction.
static uint64_t similarRowsSse2(const uint64_t* bits, const uint32_t* held, uint64_t words, uint64_t listed,
                                uint64_t column, double threshold, SimilarRow* rows) {
  const uint64_t* mine = bits + bitIndex(words, column, 0);
  const __m128i zero = _mm_setzero_si128();
  uint64_t count = appendDiagonal(held, column, threshold, rows);
  for (uint64_t first = column / kInterleavedRows * kInterleavedRows; first < listed; first += kInterleavedRows) {
    const uint64_t* block = bits + bitIndex(words, first, 0);
    __m128i low = zero, high = zero;  // rows first, first+1 and first+2, first+3
    for (uint64_t start = 0; start < words; start += kWordsPerByteSum) {
      const uint64_t end = words - start < kWordsPerByteSum ? words : start + kWordsPerByteSum;
      __m128i lowBytes = zero, highBytes = zero;
      for (uint64_t word = start; word < end; ++word) {
        const __m128i column64 = _mm_set1_epi64x((long long)mine[word * kInterleavedRows]);
        const __m128i* pair = (const __m128i*)(block + word * kInterleavedRows);
        lowBytes = _mm_add_epi8(lowBytes, byteCountsSse2(_mm_and_si128(_mm_loadu_si128(pair), column64)));
        highBytes = _mm_add_epi8(highBytes, byteCountsSse2(_mm_and_si128(_mm_loadu_si128(pair + 1), column64)));
      }
      low = _mm_add_epi64(low, _mm_sad_epu8(lowBytes, zero));
      high = _mm_add_epi64(high, _mm_sad_epu8(highBytes, zero));
    }
    uint64_t shared[kInterleavedRows];
    _mm_storeu_si128((__m128i*)shared, low);
    _mm_storeu_si128((__m128i*)(shared + 2), high);
    count = appendPassing(first, shared, held, listed, column, threshold, rows, count);
  }
  return count;
}

// The set bits of each byte of four 64-bit lanes, by looking up each half byte.
TARGET_AVX2 static inline __m256i byteCountsAvx2(__m256i v) {
  const __m256i lookup = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4,  //
                                          0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
  const __m256i nibbles = _mm256_set1_epi8(0x0f);
  const __m256i low = _mm256_and_si256(v, nibbles), high = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibbles);
  return _mm256_add_epi8(_mm256_shuffle_epi8(lookup, low), _mm256_shuffle_epi8(lookup, high));
}

// Four counts below 2^52 in 64-bit lanes as doubles, exactly: placed in the mantissa of 2^52.
TARGET_AVX2 static inline __m256d countsAsDoubles(__m256i counts) {
  const __m256i twoTo52 = _mm256_set1_epi64x(0x4330000000000000);
  return _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(counts, twoTo52)), _mm256_castsi256_pd(twoTo52));
}

// The attributes `column` (its words at `mine`) shares with the four rows of block `a` and of
// block `b`, as four 64-bit sums each: two blocks a pass, so that each word of the column is
// broadcast once for eight rows.
TARGET_AVX2 static inline void sharedSumsAvx2(const uint64_t* mine, const uint64_t* a, const uint64_t* b,
                                              uint64_t words, __m256i& sumsA, __m256i& sumsB) {
  const __m256i zero = _mm256_setzero_si256();
  sumsA = sumsB = zero;
  for (uint64_t start = 0; start < words; start += kWordsPerByteSum) {
    const uint64_t end = words - start < kWordsPerByteSum ? words : start + kWordsPerByteSum;
    __m256i bytesA = zero, bytesB = zero;
    for (uint64_t word = start; word < end; ++word) {
      const __m256i column64 = _mm256_set1_epi64x((long long)mine[word * kInterleavedRows]);
      const __m256i rowsA = _mm256_loadu_si256((const __m256i*)(a + word * kInterleavedRows));
      const __m256i rowsB = _mm256_loadu_si256((const __m256i*)(b + word * kInterleavedRows));
      bytesA = _mm256_add_epi8(bytesA, byteCountsAvx2(_mm256_and_si256(rowsA, column64)));
      bytesB = _mm256_add_epi8(bytesB, byteCountsAvx2(_mm256_and_si256(rowsB, column64)));
    }
    sumsA = _mm256_add_epi64(sumsA, _mm256_sad_epu8(bytesA, zero));
    sumsB = _mm256_add_epi64(sumsB, _mm256_sad_epu8(bytesB, zero));
  }
}

// Appends the rows of the block at `first` whose similarity with `column` is above the threshold,
// from their shared counts `sums`: four similarities per instruction.
TARGET_AVX2 static inline uint64_t appendPassingAvx2(__m256i sums, uint64_t first, const uint32_t* held,
                                                     uint64_t listed, uint64_t column, double threshold,
                                                     SimilarRow* rows, uint64_t count) {
  // Held counts are below 2^31, so they convert as signed 32-bit integers.
  const __m256d both = countsAsDoubles(sums);
  const __m256d theirs = _mm256_cvtepi32_pd(_mm_loadu_si128((const __m128i*)(held + first)));
  const __m256d either = _mm256_sub_pd(_mm256_add_pd(_mm256_set1_pd((double)held[column]), theirs), both);
  const __m256d anyHeld = _mm256_cmp_pd(either, _mm256_setzero_pd(), _CMP_GT_OQ);
  const __m256d similarity = _mm256_and_pd(_mm256_div_pd(both, either), anyHeld);
  int passed = _mm256_movemask_pd(_mm256_cmp_pd(similarity, _mm256_set1_pd(threshold), _CMP_GT_OQ));
  if (passed == 0) return count;
  if (first <= column || first + kInterleavedRows > listed) passed &= laterLanes(first, column, listed);
  uint64_t shared[kInterleavedRows];
  _mm256_storeu_si256((__m256i*)shared, sums);
  return appendRows(first, shared, passed, rows, count);
}

// Similar rows with AVX2: shared attributes, similarities and the threshold of four rows per instruction.
TARGET_AVX2 static uint64_t similarRowsAvx2(const uint64_t* bits, const uint32_t* held, uint64_t words,
                                            uint64_t listed, uint64_t column, double threshold, SimilarRow* rows) {
  const uint64_t* mine = bits + bitIndex(words, column, 0);
  uint64_t count = appendDiagonal(held, column, threshold, rows);
  for (uint64_t first = column / kInterleavedRows * kInterleavedRows; first < listed; first += 2 * kInterleavedRows) {
    // The last block alone is counted twice over rather than read past.
    const uint64_t second = first + kInterleavedRows < listed ? first + kInterleavedRows : first;
    __m256i sumsA, sumsB;
    sharedSumsAvx2(mine, bits + bitIndex(words, first, 0), bits + bitIndex(words, second, 0), words, sumsA, sumsB);
    count = appendPassingAvx2(sumsA, first, held, listed, column, threshold, rows, count);
    if (second != first) count = appendPassingAvx2(sumsB, second, held, listed, column, threshold, rows, count);
  }
  return count;
}

#endif

// Writes `column` and the later rows whose similarity with it is above `threshold`; returns how many.
uint64_t similarRows(CpuPath path, const uint64_t* bits, const uint32_t* held, uint64_t words, uint64_t listed,
                     uint64_t column, double threshold, SimilarRow* rows) {
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path) return similarRowsAvx2(bits, held, words, listed, column, threshold, rows);
  if (path == kSse2Path) return similarRowsSse2(bits, held, words, listed, column, threshold, rows);
#endif
  (void)path;
  return similarRowsPortable(bits, held, words, listed, column, threshold, rows);
}
