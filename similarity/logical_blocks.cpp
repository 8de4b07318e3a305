// The similarity blocks of tessaly5 and tessaly5b, one per code path, over a logical table of
// numAttrs bytes per node (any nonzero byte: the node holds the attribute). Four row nodes (eight
// with AVX2) share each load of the column node's bytes, and the last vector of a node ends at
// its last byte, counting only the lanes the vectors before it did not reach, so nothing past a
// node is read.
#include "similarity/logical_blocks.h"

#include "frame/numbers.h"
#include "similarity/block_similarities.h"

// One byte at a time: the path of every processor, and of nodes too short for a vector.
static unsigned logicalBlockPortable(const MatrixView& table, int32_t column, uint32_t, const int32_t* rows,
                                     double threshold, double* similarities) {
  const uint8_t* atts = table.logicals;
  const uint64_t numAttrs = table.m;
  const uint8_t* p = atts + (uint64_t)column * numAttrs;
  uint32_t either[kRowsPerBlock], both[kRowsPerBlock];
  for (int i = 0; i < kRowsPerBlock; ++i) {
    const uint8_t* q = atts + (uint64_t)rows[i] * numAttrs;
    either[i] = both[i] = 0;
    for (uint64_t a = 0; a < numAttrs; ++a) {
      const bool inP = p[a] != 0, inQ = q[a] != 0;
      either[i] += inP | inQ;
      both[i] += inP & inQ;
    }
  }
  return similaritiesPortable(either, both, threshold, similarities);
}

#if defined(NETSPARSE_X86_64)

// SSE2 has no population count: byte counters take the -1 lanes of a comparison with 0 (where
// one node, or both, lack an attribute), and a sum of absolute differences folds them into
// 64-bit totals before 255 vectors can overflow them.
const uint64_t kVectorsPerFold = 254;  // and the last, partial one

// 16 lanes of a node's bytes: -1 where the node lacks the attribute.
static inline __m128i lacksSse2(const uint8_t* bytes) {
  return _mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)bytes), _mm_setzero_si128());
}

// The sum of the two 64-bit lanes, each below 2^32.
static inline uint32_t sumLanesSse2(__m128i sums) {
  return (uint32_t)_mm_cvtsi128_si32(_mm_add_epi64(sums, _mm_unpackhi_epi64(sums, sums)));
}

// The sum of the 16 byte counters.
static inline uint32_t sumBytesSse2(__m128i counters) { return sumLanesSse2(_mm_sad_epu8(counters, _mm_setzero_si128())); }

// The similarities of the column bytes p with four row nodes q; numAttrs is at least 16.
static unsigned logicalFourSse2(const uint8_t* p, const uint8_t* const* q, uint64_t numAttrs, double threshold,
                                double* similarities) {
  const uint64_t tail = numAttrs % 16, whole = numAttrs - tail;
  const __m128i tailLanes = _mm_cmpgt_epi8(_mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                           _mm_set1_epi8((char)(15 - tail)));
  uint32_t lacksOfP = 0, lacksOfQ[4] = {0, 0, 0, 0}, neither[4] = {0, 0, 0, 0};
  for (uint64_t a = 0;;) {
    __m128i pLacks = _mm_setzero_si128(), qLacks[4], bothLack[4];
    for (int i = 0; i < 4; ++i) qLacks[i] = bothLack[i] = _mm_setzero_si128();
    const uint64_t stop = whole - a > kVectorsPerFold * 16 ? a + kVectorsPerFold * 16 : whole;
    for (; a < stop; a += 16) {
      const __m128i lackP = lacksSse2(p + a);
      pLacks = _mm_sub_epi8(pLacks, lackP);
      for (int i = 0; i < 4; ++i) {
        const __m128i lackQ = lacksSse2(q[i] + a);
        qLacks[i] = _mm_sub_epi8(qLacks[i], lackQ);
        bothLack[i] = _mm_sub_epi8(bothLack[i], _mm_and_si128(lackP, lackQ));
      }
    }
    if (a == whole && tail > 0) {
      const __m128i lackP = _mm_and_si128(lacksSse2(p + numAttrs - 16), tailLanes);
      pLacks = _mm_sub_epi8(pLacks, lackP);
      for (int i = 0; i < 4; ++i) {
        const __m128i lackQ = _mm_and_si128(lacksSse2(q[i] + numAttrs - 16), tailLanes);
        qLacks[i] = _mm_sub_epi8(qLacks[i], lackQ);
        bothLack[i] = _mm_sub_epi8(bothLack[i], _mm_and_si128(lackP, lackQ));
      }
    }
    lacksOfP += sumBytesSse2(pLacks);
    for (int i = 0; i < 4; ++i) lacksOfQ[i] += sumBytesSse2(qLacks[i]), neither[i] += sumBytesSse2(bothLack[i]);
    if (a == whole) break;
  }
  // Lacking in one node or both: those p lacks, plus those q lacks, less those both lack.
  const __m128i lackBoth = _mm_loadu_si128((const __m128i*)neither);
  const __m128i notBoth = _mm_sub_epi32(_mm_add_epi32(_mm_set1_epi32((int)lacksOfP), _mm_loadu_si128((const __m128i*)lacksOfQ)), lackBoth);
  const __m128i attrs = _mm_set1_epi32((int)numAttrs);
  const __m128i either = _mm_sub_epi32(attrs, lackBoth);
  const __m128i both = _mm_sub_epi32(attrs, notBoth);
  return similaritiesOfFourSse2(either, both, threshold, similarities);
}

// The x86-64 baseline, SSE2: 16 attributes a vector; numAttrs is at least 16.
static unsigned logicalBlockSse2(const MatrixView& table, int32_t column, uint32_t, const int32_t* rows,
                                 double threshold, double* similarities) {
  const uint8_t* atts = table.logicals;
  const uint64_t numAttrs = table.m;
  unsigned above = 0;
  for (int group = 0; group < kRowsPerBlock; group += 4) {
    const uint8_t* q[4];
    for (int i = 0; i < 4; ++i) q[i] = atts + (uint64_t)rows[group + i] * numAttrs;
    above |= logicalFourSse2(atts + (uint64_t)column * numAttrs, q, numAttrs, threshold, similarities + group) << group;
  }
  return above;
}

// 32 lanes of a node's bytes: -1 where the node lacks the attribute.
TARGET_AVX2 static inline __m256i lacksAvx2(const uint8_t* bytes) {
  return _mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)bytes), _mm256_setzero_si256());
}

// AVX2 multiplies each byte of a row node, 0 or 1, by the column node's weight for that
// attribute, 1 where the column holds it and 128 where it lacks it, and adds neighbouring products
// into 16-bit lanes (vpmaddubsw): a lane's low 7 bits count the attributes both nodes hold, the
// bits above them those only the row holds. A vector adds at most 2 to either count of a lane, so
// lanes are folded into 32-bit counts at least every 63 vectors.
const uint64_t kVectorsPerWeightedFold = 62;  // and the last, partial one

// The 16-bit lanes of the eight row nodes of one weighted pass over the column's bytes. Members
// and not an array: GCC keeps each of these in a register of its own, but copies an array's
// elements from register to register at every step (a quarter more instructions).
struct EightLanes {
  __m256i row0, row1, row2, row3, row4, row5, row6, row7;
};

// 32 bytes of a row node as 0 or 1: as they are where the table is known to hold nothing else.
template <bool kZeroOrOne>
TARGET_AVX2 static inline __m256i rowBytesAvx2(const uint8_t* bytes) {
  const __m256i loaded = _mm256_loadu_si256((const __m256i*)bytes);
  return kZeroOrOne ? loaded : _mm256_min_epu8(loaded, _mm256_set1_epi8(1));
}

// The column's weights of the 32 attributes at `bytes`: 1 where it holds one, 128 where it lacks
// it. A byte of 0 or 1 looks its weight up; any other byte is first made 1.
template <bool kZeroOrOne>
TARGET_AVX2 static inline __m256i columnWeightsAvx2(const uint8_t* bytes) {
  const __m256i weightOf = _mm256_setr_epi8(-128, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                            -128, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  return _mm256_shuffle_epi8(weightOf, rowBytesAvx2<kZeroOrOne>(bytes));
}

// A row's weighted bytes at `bytes`, neighbouring products added into 16-bit lanes.
template <bool kZeroOrOne>
TARGET_AVX2 static inline __m256i weightedAvx2(__m256i weights, const uint8_t* bytes) {
  return _mm256_maddubs_epi16(weights, rowBytesAvx2<kZeroOrOne>(bytes));
}

// The lanes of the weighted bytes at offset a of the eight row nodes q. Starting the lanes from
// them rather than from 0 also keeps GCC from copying them at every step.
template <bool kZeroOrOne>
TARGET_AVX2 static inline EightLanes firstWeightedAvx2(__m256i weights, const uint8_t* const* q, uint64_t a) {
  return EightLanes{weightedAvx2<kZeroOrOne>(weights, q[0] + a), weightedAvx2<kZeroOrOne>(weights, q[1] + a),
                    weightedAvx2<kZeroOrOne>(weights, q[2] + a), weightedAvx2<kZeroOrOne>(weights, q[3] + a),
                    weightedAvx2<kZeroOrOne>(weights, q[4] + a), weightedAvx2<kZeroOrOne>(weights, q[5] + a),
                    weightedAvx2<kZeroOrOne>(weights, q[6] + a), weightedAvx2<kZeroOrOne>(weights, q[7] + a)};
}

// A row's lanes with its weighted bytes at `bytes` added.
template <bool kZeroOrOne>
TARGET_AVX2 static inline __m256i addedWeightedAvx2(__m256i lanes, __m256i weights, const uint8_t* bytes) {
  return _mm256_add_epi16(lanes, weightedAvx2<kZeroOrOne>(weights, bytes));
}

// Adds the weighted bytes at offset a of each of the eight row nodes q to its lanes.
template <bool kZeroOrOne>
TARGET_AVX2 static inline void addWeightedAvx2(__m256i weights, const uint8_t* const* q, uint64_t a,
                                               EightLanes& lanes) {
  lanes.row0 = addedWeightedAvx2<kZeroOrOne>(lanes.row0, weights, q[0] + a);
  lanes.row1 = addedWeightedAvx2<kZeroOrOne>(lanes.row1, weights, q[1] + a);
  lanes.row2 = addedWeightedAvx2<kZeroOrOne>(lanes.row2, weights, q[2] + a);
  lanes.row3 = addedWeightedAvx2<kZeroOrOne>(lanes.row3, weights, q[3] + a);
  lanes.row4 = addedWeightedAvx2<kZeroOrOne>(lanes.row4, weights, q[4] + a);
  lanes.row5 = addedWeightedAvx2<kZeroOrOne>(lanes.row5, weights, q[5] + a);
  lanes.row6 = addedWeightedAvx2<kZeroOrOne>(lanes.row6, weights, q[6] + a);
  lanes.row7 = addedWeightedAvx2<kZeroOrOne>(lanes.row7, weights, q[7] + a);
}

// A row's lanes folded into four 64-bit sums: held by both and by the row only in the low eight
// lanes, then the same in the high eight.
TARGET_AVX2 static inline __m256i foldedLanesAvx2(__m256i lanes) {
  const __m256i both = _mm256_and_si256(lanes, _mm256_set1_epi16(127)), rowOnly = _mm256_srli_epi16(lanes, 7);
  return _mm256_sad_epu8(_mm256_packus_epi16(both, rowOnly), _mm256_setzero_si256());
}

// Two rows' folded sums in one vector, the first row's in the low 32 bits of each 64-bit lane.
TARGET_AVX2 static inline __m256i pairedAvx2(__m256i first, __m256i second) {
  return _mm256_or_si256(foldedLanesAvx2(first), _mm256_slli_epi64(foldedLanesAvx2(second), 32));
}

// Adds the eight rows' lanes to their counts of attributes held by both nodes and by the row only.
TARGET_AVX2 static inline void addFoldedAvx2(const EightLanes& lanes, __m256i& both, __m256i& rowOnly) {
  const __m256i rows01 = pairedAvx2(lanes.row0, lanes.row1), rows23 = pairedAvx2(lanes.row2, lanes.row3);
  const __m256i rows45 = pairedAvx2(lanes.row4, lanes.row5), rows67 = pairedAvx2(lanes.row6, lanes.row7);
  // Both, both, row only, row only: of rows 0, 1 and 4, 5, then of rows 2, 3 and 6, 7.
  const __m256i first = _mm256_add_epi32(_mm256_permute2x128_si256(rows01, rows45, 0x20),
                                         _mm256_permute2x128_si256(rows01, rows45, 0x31));
  const __m256i second = _mm256_add_epi32(_mm256_permute2x128_si256(rows23, rows67, 0x20),
                                          _mm256_permute2x128_si256(rows23, rows67, 0x31));
  both = _mm256_add_epi32(both, _mm256_unpacklo_epi64(first, second));
  rowOnly = _mm256_add_epi32(rowOnly, _mm256_unpackhi_epi64(first, second));
}

// The lanes of the last 32 bytes of a node of numAttrs bytes that the whole vectors before them
// did not reach.
TARGET_AVX2 static inline __m256i tailLanesAvx2(uint64_t numAttrs) {
  const __m256i lanes = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                         21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  return _mm256_cmpgt_epi8(lanes, _mm256_set1_epi8((char)(31 - numAttrs % 32)));
}

// The attributes the column node holds: the count each logical AVX2 block needs; numAttrs is at
// least 32.
TARGET_AVX2 static uint32_t heldByColumnAvx2(const MatrixView& table, int32_t column) {
  const uint64_t numAttrs = table.m;
  const uint8_t* p = table.logicals + (uint64_t)column * numAttrs;
  const uint64_t whole = numAttrs - numAttrs % 32;
  uint64_t lacking = (uint32_t)_mm_popcnt_u32(
      (uint32_t)_mm256_movemask_epi8(_mm256_and_si256(lacksAvx2(p + numAttrs - 32), tailLanesAvx2(numAttrs))));
  for (uint64_t a = 0; a < whole; a += 32)
    lacking += (uint32_t)_mm_popcnt_u32((uint32_t)_mm256_movemask_epi8(lacksAvx2(p + a)));
  return (uint32_t)(numAttrs - lacking);
}

// The similarities of the column bytes p, which hold `heldByP` attributes, with eight row nodes q;
// numAttrs is at least 32.
template <bool kZeroOrOne>
TARGET_AVX2 static unsigned logicalEightAvx2(const uint8_t* p, uint32_t heldByP, const uint8_t* const* q,
                                             uint64_t numAttrs, double threshold, double* similarities) {
  const uint64_t whole = numAttrs - numAttrs % 32;
  __m256i both = _mm256_setzero_si256(), rowOnly = both;
  for (uint64_t a = 0;;) {
    const uint64_t stop = whole - a > kVectorsPerWeightedFold * 32 ? a + kVectorsPerWeightedFold * 32 : whole;
    EightLanes lanes = firstWeightedAvx2<kZeroOrOne>(columnWeightsAvx2<kZeroOrOne>(p + a), q, a);
    for (a += 32; a < stop; a += 32) addWeightedAvx2<kZeroOrOne>(columnWeightsAvx2<kZeroOrOne>(p + a), q, a, lanes);
    if (a == whole && whole < numAttrs) {
      const __m256i weights = columnWeightsAvx2<kZeroOrOne>(p + numAttrs - 32);
      addWeightedAvx2<kZeroOrOne>(_mm256_and_si256(weights, tailLanesAvx2(numAttrs)), q, numAttrs - 32, lanes);
    }
    addFoldedAvx2(lanes, both, rowOnly);
    if (a == whole) break;
  }
  // Held by either node: all the column holds, and those only the row holds.
  const __m256i either = _mm256_add_epi32(_mm256_set1_epi32((int)heldByP), rowOnly);
  const unsigned low = similaritiesOfFourAvx2(_mm256_castsi256_si128(either), _mm256_castsi256_si128(both),
                                              threshold, similarities);
  const unsigned high = similaritiesOfFourAvx2(_mm256_extracti128_si256(either, 1), _mm256_extracti128_si256(both, 1),
                                               threshold, similarities + 4);
  return low | high << 4;
}

// AVX2: eight row nodes share each vector of the column's bytes; numAttrs is at least 32.
template <bool kZeroOrOne>
TARGET_AVX2 static unsigned logicalBlockAvx2(const MatrixView& table, int32_t column, uint32_t heldByP,
                                             const int32_t* rows, double threshold, double* similarities) {
  const uint8_t* atts = table.logicals;
  const uint64_t numAttrs = table.m;
  const uint8_t* p = atts + (uint64_t)column * numAttrs;
  unsigned above = 0;
  for (int group = 0; group < kRowsPerBlock; group += 8) {
    const uint8_t* q[8];
    for (int i = 0; i < 8; ++i) q[i] = atts + (uint64_t)rows[group + i] * numAttrs;
    above |= logicalEightAvx2<kZeroOrOne>(p, heldByP, q, numAttrs, threshold, similarities + group) << group;
  }
  return above;
}

// Whether every byte of the listed nodes is 0 or 1, as in the logical arrays of MATLAB and Octave;
// numAttrs is at least 32.
TARGET_AVX2 static bool listedBytesAreZeroOrOneAvx2(const MatrixView& table, const NodeList& nodesToKeep) {
  const uint64_t numAttrs = table.m;
  for (uint64_t k = 0; k < nodesToKeep.count; ++k) {
    const uint8_t* bytes = table.logicals + (uint64_t)(int64_t)(saturatingInt32(nodesToKeep.numbers[k]) - 1) * numAttrs;
    __m256i largest = _mm256_loadu_si256((const __m256i*)(bytes + numAttrs - 32));
    for (uint64_t a = 0; a + 32 <= numAttrs; a += 32)
      largest = _mm256_max_epu8(largest, _mm256_loadu_si256((const __m256i*)(bytes + a)));
    const __m256i atMostOne = _mm256_cmpeq_epi8(_mm256_min_epu8(largest, _mm256_set1_epi8(1)), largest);
    if (_mm256_movemask_epi8(atMostOne) != -1) return false;
  }
  return true;
}

#endif

void chooseLogicalBlock([[maybe_unused]] CpuPath path, const MatrixView& nodeAtts,
                        [[maybe_unused]] const NodeList& nodesToKeep, SimilarityKernel& kernel) {
  kernel.similarityBlock = logicalBlockPortable;
  kernel.columnCount = 0;
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path && nodeAtts.m >= 32) {
    const bool zeroOrOne = listedBytesAreZeroOrOneAvx2(nodeAtts, nodesToKeep);
    kernel.similarityBlock = zeroOrOne ? logicalBlockAvx2<true> : logicalBlockAvx2<false>;
    kernel.columnCount = heldByColumnAvx2;
  } else if (path != kPortablePath && nodeAtts.m >= 16) {
    kernel.similarityBlock = logicalBlockSse2;
  }
#else
  (void)nodeAtts;
#endif
}
