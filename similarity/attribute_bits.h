// The listed nodes' attributes as bit sets, four nodes interleaved word by word, so that one
// vector instruction works on the same 64 attributes of four rows at once.
#pragma once

#include <stdint.h>

// How a caller's numAttrs-by-numNodes attribute table is stored, one column per node.
enum AttributeStorage {
  kFullLogical,    // numAttrs bytes per node
  kFullDouble,     // numAttrs doubles per node
  kSparseLogical,  // one byte per stored entry, rows in ir, column starts in jc
  kSparseDouble,   // one double per stored entry, rows in ir, column starts in jc
};

// An attribute table as the host holds it: a node holds an attribute where the entry is nonzero
// (a NaN is nonzero, -0 is not).
struct AttributeTable {
  AttributeStorage storage;
  uint64_t numAttrs, numNodes;
  const void* values;  // the bytes or doubles
  const uint64_t* ir;  // sparse storage only
  const uint64_t* jc;
};

// Rows that share one vector: the bit sets are stored in blocks of this many listed nodes.
const uint64_t kBlockRows = 4;

// The 64-bit words of one node's bit set.
inline uint64_t wordsPerNode(uint64_t numAttrs) { return (numAttrs + 63) / 64; }

// The listed nodes rounded up to whole blocks: the rows of every array indexed by list position.
inline uint64_t paddedRows(uint64_t listed) { return (listed + kBlockRows - 1) / kBlockRows * kBlockRows; }

// The position of word `word` of list position `row` in the bit sets.
inline uint64_t bitIndex(uint64_t words, uint64_t row, uint64_t word) {
  return (row / kBlockRows * words + word) * kBlockRows + row % kBlockRows;
}

// Sets in `bits` (zeroed, paddedRows(listed) * words words) the attributes each listed node
// (0-based `nodes`) holds, and counts them into `held` (paddedRows(listed) entries, the padding 0).
void packAttributes(const AttributeTable& table, const int32_t* nodes, uint64_t listed, uint64_t* bits,
                    uint32_t* held);
