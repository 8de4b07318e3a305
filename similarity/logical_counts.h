// The similarity blocks of tessaly5 and tessaly5b, one per code path, over a logical table of
// numAttrs bytes per node (any nonzero byte: the node holds the attribute). Included by the
// kernel file alone. Four row nodes share each load of the column node's bytes, and the last
// vector of a node ends at its last byte, counting only the lanes the vectors before it did not
// reach, so nothing past a node is read.
#pragma once

#include "similarity/block_similarities.h"

// One byte at a time: the path of every processor, and of nodes too short for a vector.
static unsigned logicalBlockPortable(const void* nodeAtts, uint64_t, uint64_t numAttrs, int32_t column,
                                     const int32_t* rows, double threshold, double* similarities) {
  const uint8_t* atts = (const uint8_t*)nodeAtts;
  const uint8_t* p = atts + (uint64_t)column * numAttrs;
  uint32_t either[kBlockRows], both[kBlockRows];
  for (int i = 0; i < kBlockRows; ++i) {
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
static unsigned logicalBlockSse2(const void* nodeAtts, uint64_t, uint64_t numAttrs, int32_t column,
                                 const int32_t* rows, double threshold, double* similarities) {
  const uint8_t* atts = (const uint8_t*)nodeAtts;
  unsigned above = 0;
  for (int group = 0; group < kBlockRows; group += 4) {
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

// The sum of the 32 byte counters.
TARGET_AVX2 static inline uint32_t sumBytesAvx2(__m256i counters) {
  const __m256i sums = _mm256_sad_epu8(counters, _mm256_setzero_si256());
  return sumLanesSse2(_mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1)));
}

// The similarities of the column bytes p with four row nodes q; numAttrs is at least 32.
TARGET_AVX2 static unsigned logicalFourAvx2(const uint8_t* p, const uint8_t* const* q, uint64_t numAttrs,
                                            double threshold, double* similarities) {
  const uint64_t tail = numAttrs % 32, whole = numAttrs - tail;
  const __m256i tailLanes =
      _mm256_cmpgt_epi8(_mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                         22, 23, 24, 25, 26, 27, 28, 29, 30, 31),
                        _mm256_set1_epi8((char)(31 - tail)));
  uint32_t lacksOfP = 0, lacksOfQ[4] = {0, 0, 0, 0}, neither[4] = {0, 0, 0, 0};
  for (uint64_t a = 0;;) {
    __m256i pLacks = _mm256_setzero_si256(), qLacks[4], bothLack[4];
    for (int i = 0; i < 4; ++i) qLacks[i] = bothLack[i] = _mm256_setzero_si256();
    const uint64_t stop = whole - a > kVectorsPerFold * 32 ? a + kVectorsPerFold * 32 : whole;
    for (; a < stop; a += 32) {
      const __m256i lackP = lacksAvx2(p + a);
      pLacks = _mm256_sub_epi8(pLacks, lackP);
      for (int i = 0; i < 4; ++i) {
        const __m256i lackQ = lacksAvx2(q[i] + a);
        qLacks[i] = _mm256_sub_epi8(qLacks[i], lackQ);
        bothLack[i] = _mm256_sub_epi8(bothLack[i], _mm256_and_si256(lackP, lackQ));
      }
    }
    if (a == whole && tail > 0) {
      const __m256i lackP = _mm256_and_si256(lacksAvx2(p + numAttrs - 32), tailLanes);
      pLacks = _mm256_sub_epi8(pLacks, lackP);
      for (int i = 0; i < 4; ++i) {
        const __m256i lackQ = _mm256_and_si256(lacksAvx2(q[i] + numAttrs - 32), tailLanes);
        qLacks[i] = _mm256_sub_epi8(qLacks[i], lackQ);
        bothLack[i] = _mm256_sub_epi8(bothLack[i], _mm256_and_si256(lackP, lackQ));
      }
    }
    lacksOfP += sumBytesAvx2(pLacks);
    for (int i = 0; i < 4; ++i) lacksOfQ[i] += sumBytesAvx2(qLacks[i]), neither[i] += sumBytesAvx2(bothLack[i]);
    if (a == whole) break;
  }
  // Lacking in one node or both: those p lacks, plus those q lacks, less those both lack.
  const __m128i lackBoth = _mm_loadu_si128((const __m128i*)neither);
  const __m128i notBoth = _mm_sub_epi32(_mm_add_epi32(_mm_set1_epi32((int)lacksOfP), _mm_loadu_si128((const __m128i*)lacksOfQ)), lackBoth);
  const __m128i attrs = _mm_set1_epi32((int)numAttrs);
  const __m128i either = _mm_sub_epi32(attrs, lackBoth);
  const __m128i both = _mm_sub_epi32(attrs, notBoth);
  return similaritiesOfFourAvx2(either, both, threshold, similarities);
}

// AVX2 with the population count: 64 attributes a step; numAttrs is at least 32.
TARGET_AVX2 static unsigned logicalBlockAvx2(const void* nodeAtts, uint64_t, uint64_t numAttrs, int32_t column,
                                             const int32_t* rows, double threshold, double* similarities) {
  const uint8_t* atts = (const uint8_t*)nodeAtts;
  unsigned above = 0;
  for (int group = 0; group < kBlockRows; group += 4) {
    const uint8_t* q[4];
    for (int i = 0; i < 4; ++i) q[i] = atts + (uint64_t)rows[group + i] * numAttrs;
    above |= logicalFourAvx2(atts + (uint64_t)column * numAttrs, q, numAttrs, threshold, similarities + group) << group;
  }
  return above;
}

#endif
