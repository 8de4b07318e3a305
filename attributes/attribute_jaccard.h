// Jaccard similarity of the attribute sets of every pair of listed nodes, above a threshold, in a
// result sized exactly. The listed nodes are packed into bit sets once; findAttributePairs counts
// each unordered pair with population counts, keeping the pairs that pass while few pass; the
// gateway creates the result with exactly the room they need; storeAttributePairs writes it,
// counting again what it did not keep, and mirrors the result's upper half from its lower half.
#pragma once

#include <stdint.h>

#include "attributes/shared_counts.h"
#include "frame/cpu_paths.h"
#include "frame/progress.h"
#include "frame/sparse_view.h"

// Pairs times words (see jaccardWork) that take about a second here: longer calls print progress.
const uint64_t kWorkOfASecond = UINT64_C(1) << 30;

// The work of a call: every unordered pair of listed nodes, each node with itself included
// (listed * (listed + 1) / 2 pairs), a pair costing about as much as one 64-bit word of its bit
// sets; saturates at UINT64_MAX.
uint64_t jaccardWork(uint64_t listed, uint64_t numAttrs);

// Whether the workspace of a call can be counted in a size_t: the listed nodes' bit sets (about
// listed * numAttrs / 8 bytes) and a few words per listed node. The rows the first pass keeps
// for the second, 8 bytes each, become entries of the result, 16 bytes each or two of them.
bool jaccardWorkspaceFits(uint64_t listed, uint64_t numAttrs);

// Everything similarRows needs to find the similar rows of any listed column.
struct PairPass {
  CpuPath path;
  uint64_t* bits;
  uint32_t* held;
  uint64_t words, listed;
  double threshold;
  SimilarRow* found;  // room for the rows of one column and kInterleavedRows more
};

// The similar rows the counting pass found, kept for the storing pass: those of the first
// `columns` listed columns, one after the other, in workspace grown as needed.
struct KeptRows {
  SimilarRow* rows;
  uint64_t room, count, columns;
};

// What the counting pass found, in host workspace until storeAttributePairs writes the result.
struct AttributePairs {
  PairPass pass;
  const int32_t* nodes;  // the listed nodes, 0-based and strictly ascending
  uint64_t numNodes;
  bool overflowed;   // more entries than the limit pass: the pass holds nothing
  uint64_t entries;  // the entries of the result
  KeptRows kept;
  uint64_t* own;       // per listed column: its own rows (itself and the later rows that pass)
  uint64_t* mirrored;  // per listed column: the earlier columns that list it
  uint64_t* ownStart;
  TenthsProgress progress;
};

// Packs the attributes of the listed nodes of the numAttrs-by-numNodes table and counts, for each
// listed node p, the listed nodes q whose similarity with p is strictly above `threshold`: the
// attributes both hold over those either holds (0 when neither holds any; 1 for p itself). When
// the call is long it prints a progress line each tenth of its two passes over the listed nodes.
// When more than `maxEntries` (at most kMaxEntries) entries pass, the pairs are `overflowed`, with
// their workspace freed.
AttributePairs findAttributePairs(const MatrixView& table, const int32_t* nodes, uint64_t listed, double threshold,
                                  uint64_t maxEntries, CpuPath path);

// Stores into S (numNodes-by-numNodes, with room for found.entries) the pairs found: in column
// p-1 of each listed node p, in list order, every listed node q that passed, row q-1. Prints the
// stored count and frees the pass's workspace.
void storeAttributePairs(AttributePairs& found, const SparseView& S);
