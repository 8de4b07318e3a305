#include "attributes/shared_counts.h"

#include "attributes/attribute_bits.h"
#include "frame/vector_instructions.h"

double attributeValue(AttributeMeasure measure, uint32_t shared, uint32_t heldP, uint32_t heldQ, uint64_t numAttrs) {
  const double both = shared, mine = heldP, theirs = heldQ;
  switch (measure) {
    case kJaccardOfAttributes: {
      const double either = (mine + theirs) - both;
      return either > 0.0 ? both / either : 0.0;
    }
    case kDiceOfAttributes: return mine + theirs > 0.0 ? (2.0 * both) / (mine + theirs) : 0.0;
    case kCosineOfAttributes: return mine * theirs > 0.0 ? both / squareRoot(mine * theirs) : 0.0;
    case kOverlapOfAttributes: {
      const double smaller = mine < theirs ? mine : theirs;
      return smaller > 0.0 ? both / smaller : 0.0;
    }
    case kSimpleMatching: {
      const double attributes = (double)numAttrs;
      return attributes > 0.0 ? (((attributes - mine) - theirs) + 2.0 * both) / attributes : 0.0;
    }
  }
  return 0.0;
}

// The lanes of the block starting at row `first` that hold rows from `firstRow` up to `end`, but
// `column` itself.
static int lanesWithin(uint64_t first, uint64_t firstRow, uint64_t end, uint64_t column) {
  int lanes = 0;
  for (uint64_t lane = 0; lane < kInterleavedRows; ++lane)
    lanes |= (first + lane >= firstRow && first + lane < end && first + lane != column) << lane;
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

// Whether `value` of the pair (row, column) reaches the lesser bar of the two (always without bars).
static inline bool reachesBars(const RowSearch& search, uint64_t column, uint64_t row, double value) {
  if (!search.bars) return true;
  const double bar = search.bars[column] < search.bars[row] ? search.bars[column] : search.bars[row];
  return value >= bar;
}

// Appends the rows from `firstRow` up to `end` of the block starting at `first` whose value with
// `column`, from their shared counts, is above the threshold: one row at a time.
static uint64_t appendPassing(const RowSearch& search, uint64_t first, const uint64_t shared[kInterleavedRows],
                              uint64_t column, uint64_t firstRow, uint64_t end, SimilarRow* rows, uint64_t count) {
  int passed = 0;
  for (uint64_t lane = 0; lane < kInterleavedRows; ++lane) {
    const double value = attributeValue(search.measure, (uint32_t)shared[lane], search.held[column],
                                        search.held[first + lane], search.numAttrs);
    passed |= (value > search.threshold && reachesBars(search, column, first + lane, value)) << lane;
  }
  return appendRows(first, shared, passed & lanesWithin(first, firstRow, end, column), rows, count);
}

// The column itself, when it is kept, lies from `from` up to `end` and 1 is above the threshold;
// the other rows start at `firstRow`: `from`, or the row after the column where `from` is the
// column (the column's own lane is left out wherever the rows start).
static uint64_t appendDiagonal(const RowSearch& search, uint64_t column, uint64_t from, uint64_t end,
                               uint64_t& firstRow, SimilarRow* rows) {
  rows[0] = SimilarRow{(uint32_t)column, search.held[column]};
  firstRow = from == column ? column + 1 : from;
  return search.self && from <= column && column < end && 1.0 > search.threshold;
}

// Similar rows on any processor: one word of one row at a time.
static uint64_t similarRowsPortable(const RowSearch& search, uint64_t column, uint64_t from, uint64_t end,
                                    SimilarRow* rows) {
  const uint64_t words = search.words;
  const uint64_t* mine = search.bits + bitIndex(words, column, 0);
  uint64_t firstRow;
  uint64_t count = appendDiagonal(search, column, from, end, firstRow, rows);
  for (uint64_t first = firstRow / kInterleavedRows * kInterleavedRows; first < end; first += kInterleavedRows) {
    const uint64_t* block = search.bits + bitIndex(words, first, 0);
    uint64_t shared[kInterleavedRows] = {0, 0, 0, 0};
    for (uint64_t word = 0; word < words; ++word)
      for (uint64_t lane = 0; lane < kInterleavedRows; ++lane)
        shared[lane] += popcount64(block[word * kInterleavedRows + lane] & mine[word * kInterleavedRows]);
    count = appendPassing(search, first, shared, column, firstRow, end, rows, count);
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
static uint64_t similarRowsSse2(const RowSearch& search, uint64_t column, uint64_t from, uint64_t end,
                                SimilarRow* rows) {
  const uint64_t words = search.words;
  const uint64_t* mine = search.bits + bitIndex(words, column, 0);
  const __m128i zero = _mm_setzero_si128();
  uint64_t firstRow;
  uint64_t count = appendDiagonal(search, column, from, end, firstRow, rows);
  for (uint64_t first = firstRow / kInterleavedRows * kInterleavedRows; first < end; first += kInterleavedRows) {
    const uint64_t* block = search.bits + bitIndex(words, first, 0);
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
    count = appendPassing(search, first, shared, column, firstRow, end, rows, count);
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

// Four values of the measure from the attributes both hold, those the column holds and those each
// row holds, as attributeValue computes them: the same operations in the same order, 0 where the
// denominator is 0.
TARGET_AVX2 static inline __m256d valuesAvx2(const RowSearch& search, __m256d both, __m256d mine, __m256d theirs) {
  const __m256d zero = _mm256_setzero_pd();
  __m256d numerator = both, denominator;
  switch (search.measure) {
    case kJaccardOfAttributes: denominator = _mm256_sub_pd(_mm256_add_pd(mine, theirs), both); break;
    case kDiceOfAttributes:
      numerator = _mm256_mul_pd(_mm256_set1_pd(2.0), both);
      denominator = _mm256_add_pd(mine, theirs);
      break;
    case kCosineOfAttributes: {
      const __m256d product = _mm256_mul_pd(mine, theirs);
      const __m256d positive = _mm256_cmp_pd(product, zero, _CMP_GT_OQ);
      return _mm256_and_pd(_mm256_div_pd(both, _mm256_sqrt_pd(product)), positive);
    }
    case kOverlapOfAttributes: denominator = _mm256_min_pd(mine, theirs); break;
    default: {
      const __m256d attributes = _mm256_set1_pd((double)search.numAttrs);
      numerator = _mm256_add_pd(_mm256_sub_pd(_mm256_sub_pd(attributes, mine), theirs),
                                _mm256_mul_pd(_mm256_set1_pd(2.0), both));
      denominator = attributes;
    }
  }
  const __m256d positive = _mm256_cmp_pd(denominator, zero, _CMP_GT_OQ);
  return _mm256_and_pd(_mm256_div_pd(numerator, denominator), positive);
}

// Appends the rows from `firstRow` up to `end` of the block at `first` whose value with `column`
// is above the threshold, from their shared counts `sums`: four values per instruction.
TARGET_AVX2 static inline uint64_t appendPassingAvx2(const RowSearch& search, __m256i sums, uint64_t first,
                                                     uint64_t column, uint64_t firstRow, uint64_t end,
                                                     SimilarRow* rows, uint64_t count) {
  // Held counts are below 2^31, so they convert as signed 32-bit integers.
  const __m256d both = countsAsDoubles(sums);
  const __m256d theirs = _mm256_cvtepi32_pd(_mm_loadu_si128((const __m128i*)(search.held + first)));
  const __m256d values = valuesAvx2(search, both, _mm256_set1_pd((double)search.held[column]), theirs);
  __m256d passing = _mm256_cmp_pd(values, _mm256_set1_pd(search.threshold), _CMP_GT_OQ);
  if (search.bars) {
    const __m256d bars = _mm256_min_pd(_mm256_set1_pd(search.bars[column]), _mm256_loadu_pd(search.bars + first));
    passing = _mm256_and_pd(passing, _mm256_cmp_pd(values, bars, _CMP_GE_OQ));
  }
  int passed = _mm256_movemask_pd(passing);
  if (passed == 0) return count;
  if (first < firstRow || first + kInterleavedRows > end || (column >= first && column < first + kInterleavedRows))
    passed &= lanesWithin(first, firstRow, end, column);
  uint64_t shared[kInterleavedRows];
  _mm256_storeu_si256((__m256i*)shared, sums);
  return appendRows(first, shared, passed, rows, count);
}

// Similar rows with AVX2: shared attributes, values and the threshold of four rows per instruction.
TARGET_AVX2 static uint64_t similarRowsAvx2(const RowSearch& search, uint64_t column, uint64_t from, uint64_t end,
                                            SimilarRow* rows) {
  const uint64_t words = search.words;
  const uint64_t* bits = search.bits;
  const uint64_t* mine = bits + bitIndex(words, column, 0);
  uint64_t firstRow;
  uint64_t count = appendDiagonal(search, column, from, end, firstRow, rows);
  for (uint64_t first = firstRow / kInterleavedRows * kInterleavedRows; first < end; first += 2 * kInterleavedRows) {
    // The last block alone is counted twice over rather than read past.
    const uint64_t second = first + kInterleavedRows < end ? first + kInterleavedRows : first;
    __m256i sumsA, sumsB;
    sharedSumsAvx2(mine, bits + bitIndex(words, first, 0), bits + bitIndex(words, second, 0), words, sumsA, sumsB);
    count = appendPassingAvx2(search, sumsA, first, column, firstRow, end, rows, count);
    if (second != first) count = appendPassingAvx2(search, sumsB, second, column, firstRow, end, rows, count);
  }
  return count;
}

#endif

// Writes `column` and the rows of the range whose value with it is above the threshold.
uint64_t similarRows(const RowSearch& search, uint64_t column, uint64_t from, uint64_t end, SimilarRow* rows) {
#if defined(NETSPARSE_X86_64)
  if (search.path == kAvx2Path) return similarRowsAvx2(search, column, from, end, rows);
  if (search.path == kSse2Path) return similarRowsSse2(search, column, from, end, rows);
#endif
  return similarRowsPortable(search, column, from, end, rows);
}
