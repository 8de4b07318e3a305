#include "similarity/attribute_pass.h"

#include "frame/host.h"
#include "frame/numbers.h"

// Whether every listed number lies from 1 up to, not including, 2^31, so that truncating it needs
// no saturation: true of every list the gateways accept.
static bool listIsPlain(const double* nodesToKeep, int32_t listed) {
  for (int32_t k = 0; k < listed; ++k)
    if (!(nodesToKeep[k] >= 1.0 && nodesToKeep[k] < 2147483648.0)) return false;
  return true;
}

// The row nodes of list positions k to k + kRowsPerBlock - 1, the last one repeated past the list's
// end. A whole block of a plain list converts without saturating, several numbers an instruction.
static void blockRows(const double* nodesToKeep, int32_t listed, int32_t k, bool plain, int32_t* rows) {
  if (plain && listed - k >= kRowsPerBlock) {
    for (int i = 0; i < kRowsPerBlock; ++i) rows[i] = (int32_t)nodesToKeep[k + i] - 1;
    return;
  }
  for (int i = 0; i < kRowsPerBlock; ++i) rows[i] = listedNode(nodesToKeep, k + i < listed ? k + i : listed - 1);
}

// The bits of a block's rows that lie within the list: those at positions k to listed - 1.
static unsigned listedBits(int32_t listed, int32_t k) {
  return listed - k >= kRowsPerBlock ? (1u << kRowsPerBlock) - 1 : (1u << (listed - k)) - 1;
}

// A node's similarity with itself is 1 whatever its attributes: sets it where list position j,
// the column's own, falls in the block at k, and returns the block's bits above `threshold`.
static unsigned withOwnNode(int32_t j, int32_t k, double threshold, double* similarities, unsigned above) {
  if (j < k || j >= k + kRowsPerBlock) return above;
  const unsigned bit = 1u << (j - k);
  similarities[j - k] = 1.0;
  return 1.0 > threshold ? above | bit : above & ~bit;
}

// Sets S's row indices from `start` to the end of its room back to 0.
static void clearRoomFrom(const SparseView& S, uint64_t start) {
  for (uint64_t i = start; i < S.nzmax; ++i) S.ir[i] = 0;
}

// The bit sets of the listed nodes at the end of S's row indices, packed, where the kernel packs,
// the table allows it and the room holds them with a first column below them; else `start` is
// S.nzmax, and nothing is packed.
static PackedRows packIntoRoom(const SimilarityKernel& kernel, const MatrixView& table, const NodeList& nodesToKeep,
                               const SparseView& S) {
  const uint64_t listed = nodesToKeep.count, words = kernel.packedWords;
  const uint64_t taken = listed * (words + 1);
  PackedRows packed = {0, 0, words, S.nzmax};
  if (words == 0 || listed == 0 || S.nzmax / (words + 1) < listed || S.nzmax - taken < listed) return packed;
  packed.start = S.nzmax - taken;
  packed.bits = S.ir + packed.start;
  packed.held = packed.bits + listed * words;
  if (kernel.packRows(table, nodesToKeep, packed)) return packed;
  clearRoomFrom(S, packed.start);
  packed.start = S.nzmax;
  return packed;
}

// Stores the similarities above `threshold` into S, never past its room; returns how many passed.
uint64_t attributePass(const SimilarityKernel& kernel, const MatrixView& table, const NodeList& nodesToKeep,
                       double threshold, const SparseView& S) {
  mexPrintf("%s", kernel.openingLine);
  const double* listedNumbers = nodesToKeep.numbers;
  const uint64_t numNodes = S.n;
  uint64_t *ir = S.ir, *jc = S.jc;
  double* pr = S.pr;
  const int32_t listed = (int32_t)nodesToKeep.count;
  const int32_t room = S.nzmax < (uint64_t)INT32_MAX ? (int32_t)S.nzmax : INT32_MAX;
  int32_t nnz = 0;
  int32_t untilProgress = kernel.progress.step;  // counted down: no division per stored entry
  uint64_t passed = 0;
  int32_t nextColumn = 0;  // the previous listed node's number: the first column not yet started
  const bool plain = listIsPlain(listedNumbers, listed);
  const PackedRows packed = packIntoRoom(kernel, table, nodesToKeep, S);
  for (int32_t j = 0; j < listed; ++j) {
    const int32_t column = listedNode(listedNumbers, j);
    for (int32_t i = nextColumn; i <= column; ++i) jc[i] = widen(nnz);
    // A column may store an entry for every listed node: from the bit sets while all fit below them.
    const bool fromBits = packed.start < S.nzmax && (uint64_t)nnz + (uint64_t)listed <= packed.start;
    const uint32_t columnCount = !fromBits && kernel.columnCount ? kernel.columnCount(table, column) : 0;
    for (int32_t k = 0; k < listed; k += kRowsPerBlock) {
      int32_t rows[kRowsPerBlock];
      double similarities[kRowsPerBlock];
      blockRows(listedNumbers, listed, k, plain, rows);
      unsigned above = fromBits ? kernel.packedBlock(packed, j, k, listed, threshold, similarities)
                                : kernel.similarityBlock(table, column, columnCount, rows, threshold, similarities);
      above = withOwnNode(j, k, threshold, similarities, above & listedBits(listed, k));
      for (int i = 0; above != 0; ++i, above >>= 1) {
        if (!(above & 1)) continue;
        ++passed;
        if (nnz == room) continue;
        pr[nnz] = similarities[i];
        ir[nnz] = widen(rows[i]);
        ++nnz;
        if (--untilProgress > 0) continue;
        mexPrintf(kernel.progress.line, nnz / kernel.progress.unit);
        untilProgress = kernel.progress.step;
      }
    }
    nextColumn = column + 1;
  }
  for (int32_t i = nextColumn; (uint64_t)i < numNodes; ++i) jc[i] = widen(nnz);
  jc[numNodes] = widen(nnz);
  if (packed.start < S.nzmax) clearRoomFrom(S, packed.start > (uint64_t)nnz ? packed.start : (uint64_t)nnz);
  mexPrintf(kernel.closingLine, nnz);
  return passed;
}
