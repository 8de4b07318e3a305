#include "similarity/attribute_bits.h"

#include "similarity/shared_counts.h"

// Whether entry k of a table's values is nonzero: any byte but 0, any double but +0 and -0.
static bool holdsEntry(const AttributeTable& table, uint64_t k) {
  const bool logical = table.storage == kFullLogical || table.storage == kSparseLogical;
  if (logical) return ((const uint8_t*)table.values)[k] != 0;
  return ((const double*)table.values)[k] != 0.0;
}

// Sets the bits of the attributes that node `node` holds in the bit set of list position `row`.
static void packNode(const AttributeTable& table, uint64_t node, uint64_t row, uint64_t words, uint64_t* bits) {
  const bool sparse = table.storage == kSparseLogical || table.storage == kSparseDouble;
  const uint64_t first = sparse ? table.jc[node] : node * table.numAttrs;
  const uint64_t end = sparse ? table.jc[node + 1] : first + table.numAttrs;
  for (uint64_t k = first; k < end; ++k) {
    const uint64_t attribute = sparse ? table.ir[k] : k - first;
    // A row beyond the table would be a malformed host array: it is not ours to write.
    if (attribute < table.numAttrs && holdsEntry(table, k))
      bits[bitIndex(words, row, attribute / 64)] |= UINT64_C(1) << (attribute % 64);
  }
}

// Sets in `bits` the attributes each listed node holds and counts them into `held`.
void packAttributes(const AttributeTable& table, const int32_t* nodes, uint64_t listed, uint64_t* bits,
                    uint32_t* held) {
  const uint64_t words = wordsPerNode(table.numAttrs);
  for (uint64_t row = 0; row < paddedRows(listed); ++row) {
    if (row < listed) packNode(table, (uint64_t)nodes[row], row, words, bits);
    uint64_t count = 0;
    for (uint64_t word = 0; word < words; ++word) count += popcount64(bits[bitIndex(words, row, word)]);
    held[row] = (uint32_t)count;
  }
}
