#include "attributes/attribute_bits.h"

#include "frame/threads.h"
#include "frame/work_slices.h"

// Whether a stored entry counts as held: any byte but 0, any double but +0 and -0 (NaN is held).
template <typename Value>
static bool holds(Value value) {
  return value != 0;
}

// Sets the bits of the attributes that full column `values` (numAttrs entries) holds in the bit
// set of list position `row`, 64 attributes a word.
template <typename Value>
static void packFullColumn(const Value* values, uint64_t numAttrs, uint64_t row, uint64_t words, uint64_t* bits) {
  for (uint64_t word = 0; word < words; ++word) {
    const uint64_t first = word * 64, count = numAttrs - first < 64 ? numAttrs - first : 64;
    uint64_t held = 0;
    for (uint64_t bit = 0; bit < count; ++bit) held |= (uint64_t)holds(values[first + bit]) << bit;
    bits[bitIndex(words, row, word)] = held;
  }
}

// Sets the bits of the attributes that sparse column `node`, its values at `values`, holds in the
// bit set of `row`.
template <typename Value>
static void packSparseColumn(const MatrixView& table, const Value* values, uint64_t node, uint64_t row,
                             uint64_t words, uint64_t* bits) {
  for (uint64_t k = table.jc[node]; k < table.jc[node + 1]; ++k) {
    const uint64_t attribute = table.ir[k];
    // A row beyond the table would be a malformed host array: it is not ours to write.
    if (attribute < table.m && holds(values[k]))
      bits[bitIndex(words, row, attribute / 64)] |= UINT64_C(1) << (attribute % 64);
  }
}

// Sets the bits of the attributes that node `node` holds in the bit set of list position `row`.
static void packNode(const MatrixView& table, uint64_t node, uint64_t row, uint64_t words, uint64_t* bits) {
  const uint64_t offset = node * table.m;
  if (table.jc && table.logicals) return packSparseColumn(table, table.logicals, node, row, words, bits);
  if (table.jc) return packSparseColumn(table, table.pr, node, row, words, bits);
  if (table.logicals) return packFullColumn(table.logicals + offset, table.m, row, words, bits);
  packFullColumn(table.pr + offset, table.m, row, words, bits);
}

// Sets in `bits` the attributes of list positions first to past-1 and counts them into `held`.
static void packRows(const MatrixView& table, const int32_t* nodes, uint64_t listed, uint64_t first, uint64_t past,
                     uint64_t* bits, uint32_t* held) {
  const uint64_t words = wordsPerNode(table.m);
  for (uint64_t row = first; row < past; ++row) {
    if (row < listed) packNode(table, (uint64_t)nodes[row], row, words, bits);
    uint64_t count = 0;
    for (uint64_t word = 0; word < words; ++word) count += popcount64(bits[bitIndex(words, row, word)]);
    held[row] = (uint32_t)count;
  }
}

// Sets in `bits` the attributes each listed node holds and counts them into `held`.
void packAttributes(const MatrixView& table, const int32_t* nodes, uint64_t listed, uint64_t* bits, uint32_t* held,
                    int32_t workers) {
  int32_t blocks[kMostThreads + 1];
  const int32_t blockCount = (int32_t)(paddedRows(listed) / kInterleavedRows);
  sliceByCost([](int32_t block) { return (uint64_t)block; }, 0, blockCount, workers, blocks);
  auto pack = [&](int32_t worker) {
    packRows(table, nodes, listed, (uint64_t)blocks[worker] * kInterleavedRows,
             (uint64_t)blocks[worker + 1] * kInterleavedRows, bits, held);
  };
  runEachWorker(pack, workers);
}
