// The listed nodes' attributes as bit sets, four nodes interleaved word by word, so that one
// vector instruction works on the same 64 attributes of four rows at once.
#pragma once

#include <stdint.h>

#include "frame/bit_count.h"
#include "frame/sparse_view.h"

// Rows that share one vector: the bit sets are stored in blocks of this many listed nodes.
const uint64_t kInterleavedRows = 4;

// The 64-bit words of one node's bit set.
inline uint64_t wordsPerNode(uint64_t numAttrs) { return (numAttrs + 63) / 64; }

// The listed nodes rounded up to whole blocks: the rows of every array indexed by list position.
inline uint64_t paddedRows(uint64_t listed) {
  return (listed + kInterleavedRows - 1) / kInterleavedRows * kInterleavedRows;
}

// The position of word `word` of list position `row` in the bit sets.
inline uint64_t bitIndex(uint64_t words, uint64_t row, uint64_t word) {
  return (row / kInterleavedRows * words + word) * kInterleavedRows + row % kInterleavedRows;
}

// Sets in `bits` (zeroed, paddedRows(listed) * words words) the attributes each listed node
// (0-based `nodes`) of the numAttrs-by-numNodes table holds, and counts them into `held`
// (paddedRows(listed) entries, the padding 0). The table is logical or double, full or sparse; a
// node holds an attribute where its entry is nonzero (a NaN is nonzero, -0 is not). `workers`
// workers each pack a slice of whole blocks, which share no word.
void packAttributes(const MatrixView& table, const int32_t* nodes, uint64_t listed, uint64_t* bits, uint32_t* held,
                    int32_t workers);
