// Packing the listed nodes into bit sets, and the similarity blocks over them, one per code path.
#include "similarity/packed_rows.h"

#include "frame/bit_count.h"
#include "frame/numbers.h"
#include "similarity/listed_blocks.h"
#include "similarity/block_similarities.h"

// Sets each listed node's count of held attributes from its bit set.
static void countHeld(const PackedRows& packed, uint64_t listed) {
  for (uint64_t k = 0; k < listed; ++k) {
    uint64_t held = 0;
    for (uint64_t w = 0; w < packed.words; ++w) held += popcount64(packed.bits[k * packed.words + w]);
    packed.held[k] = held;
  }
}

// Zeroes the bit sets of every listed node.
static void clearBits(const PackedRows& packed, uint64_t listed) {
  for (uint64_t i = 0, end = listed * packed.words; i < end; ++i) packed.bits[i] = 0;
}

bool packLogicalRows(const MatrixView& nodeAtts, const NodeList& nodesToKeep, const PackedRows& packed) {
  const uint64_t numAttrs = nodeAtts.m;
  clearBits(packed, nodesToKeep.count);
  for (uint64_t k = 0; k < nodesToKeep.count; ++k) {
    const uint8_t* bytes = nodeAtts.logicals + (uint64_t)listedNode(nodesToKeep.numbers, (int32_t)k) * numAttrs;
    uint64_t* bits = packed.bits + k * packed.words;
    for (uint64_t a = 0; a < numAttrs; ++a) bits[a / 64] |= (uint64_t)(bytes[a] != 0) << (a % 64);
  }
  countHeld(packed, nodesToKeep.count);
  return true;
}

bool packNumericRows(const MatrixView& nodeAtts, const NodeList& nodesToKeep, const PackedRows& packed) {
  const uint64_t numNodes = nodeAtts.m, numAttrs = nodeAtts.n, listed = nodesToKeep.count;
  clearBits(packed, listed);
  for (uint64_t a = 0; a < numAttrs; ++a) {  // attribute by attribute: the table's own order
    const double* values = nodeAtts.pr + a * numNodes;
    for (uint64_t k = 0; k < listed; ++k) {
      const int32_t value = saturatingInt32(values[listedNode(nodesToKeep.numbers, (int32_t)k)]);
      if (value != 0 && value != 1) return false;
      packed.bits[k * packed.words + a / 64] |= (uint64_t)value << (a % 64);
    }
  }
  countHeld(packed, listed);
  return true;
}

// The list position of a block's row i: past the list's end, its last position.
static inline int32_t blockRow(int32_t first, int i, int32_t listed) {
  return first + i < listed ? first + i : listed - 1;
}

// One word at a time, bits counted by shifts and masks: every processor.
static unsigned packedBlockPortable(const PackedRows& packed, int32_t column, int32_t first, int32_t listed,
                                    double threshold, double* similarities) {
  const uint64_t words = packed.words;
  const uint64_t* mine = packed.bits + (uint64_t)column * words;
  uint32_t either[kRowsPerBlock], both[kRowsPerBlock];
  for (int i = 0; i < kRowsPerBlock; ++i) {
    const int32_t row = blockRow(first, i, listed);
    const uint64_t* theirs = packed.bits + (uint64_t)row * words;
    uint64_t shared = 0;
    for (uint64_t w = 0; w < words; ++w) shared += popcount64(mine[w] & theirs[w]);
    both[i] = (uint32_t)shared;
    either[i] = (uint32_t)(packed.held[column] + packed.held[row] - shared);
  }
  return similaritiesPortable(either, both, threshold, similarities);
}

#if defined(NETSPARSE_X86_64)

// AVX2: the POPCNT instruction on each word, four similarities a division.
TARGET_AVX2 static unsigned packedBlockAvx2(const PackedRows& packed, int32_t column, int32_t first, int32_t listed,
                                            double threshold, double* similarities) {
  const uint64_t words = packed.words;
  const uint64_t* mine = packed.bits + (uint64_t)column * words;
  alignas(16) uint32_t either[kRowsPerBlock], both[kRowsPerBlock];
  for (int i = 0; i < kRowsPerBlock; ++i) {
    const int32_t row = blockRow(first, i, listed);
    const uint64_t* theirs = packed.bits + (uint64_t)row * words;
    uint64_t shared = 0;
    for (uint64_t w = 0; w < words; ++w) shared += (uint64_t)_mm_popcnt_u64(mine[w] & theirs[w]);
    both[i] = (uint32_t)shared;
    either[i] = (uint32_t)(packed.held[column] + packed.held[row] - shared);
  }
  unsigned above = 0;
  for (int i = 0; i < kRowsPerBlock; i += 4)
    above |= similaritiesOfFourAvx2(_mm_load_si128((const __m128i*)(either + i)),
                                    _mm_load_si128((const __m128i*)(both + i)), threshold, similarities + i)
             << i;
  return above;
}

#endif

PackedBlock packedBlockOf([[maybe_unused]] CpuPath path) {
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path) return packedBlockAvx2;
#endif
  return packedBlockPortable;
}
