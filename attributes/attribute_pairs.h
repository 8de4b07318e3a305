// A similarity of the attribute sets of pairs of listed nodes, in a result sized exactly. The
// listed nodes are packed into bit sets once; findAttributePairs counts each unordered pair with
// population counts, keeping the pairs that pass while few pass (or each column's largest values);
// the gateway creates the result with exactly the room they need; storeAttributePairs writes it,
// counting again what it did not keep, the result's upper half mirrored from its lower half.
#pragma once

#include <stdint.h>

#include "attributes/shared_counts.h"
#include "frame/cpu_paths.h"
#include "frame/progress.h"
#include "frame/sparse_view.h"
#include "frame/top_values.h"

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

// What a caller asks of a pass.
struct AttributeRequest {
  const char* word;          // the word of the call's errors, MATLAB:<word>:nomem
  const char* progressLine;  // shows the percentage done through its one %d
  const char* closingLine;   // printed at the end with the stored count
  AttributeMeasure measure;
  double threshold;          // only values strictly above it are kept
  bool self;                 // keep the pair of a node with itself (of value 1)
  int32_t topK;              // keep only the topK largest values of each column (ties to the smaller row); 0: all
  const int32_t* columns;    // the result's columns: 0-based nodes, strictly ascending; null for every node
  int32_t columnCount;       // how many (numNodes for every node)
  uint64_t maxEntries;       // a result of more entries than this: the pass stops and keeps nothing
  CpuPath path;
};

// The similar rows the counting pass found, kept for the storing pass: those of the first
// `columns` listed columns, one after the other, in workspace grown as needed.
struct KeptRows {
  SimilarRow* rows;
  uint64_t room, count, columns;
};

// What the counting pass found, in host workspace until storeAttributePairs writes the result.
struct AttributePairs {
  AttributeRequest request;
  RowSearch search;
  uint64_t listed;
  SimilarRow* found;     // room for the rows of one column and kInterleavedRows more
  const int32_t* nodes;  // the listed nodes, 0-based and strictly ascending
  uint64_t numNodes;
  bool overflowed;   // more entries than the limit pass: the pass holds nothing
  uint64_t entries;  // the entries of the result
  KeptRows kept;
  uint64_t* own;       // per list position: its own rows found (itself and the later rows that pass)
  uint64_t* mirrored;  // per list position: the earlier positions that list it
  uint64_t* ownStart;
  int32_t* resultColumnOf;  // with result columns: each list position's column of the result, or -1
  uint64_t firstColumn, pastColumns;  // ... and the list positions from the first of them to past the last
  TopValues top;            // with topK: each result column's kept rows (list positions) and values
  TenthsProgress progress;
};

// The request of attributeJaccard: the Jaccard similarity of every pair of listed nodes above
// `threshold`, in every column of a table of numNodes nodes, with attributeJaccard's lines.
AttributeRequest attributeJaccardRequest(double threshold, uint64_t numNodes, uint64_t maxEntries, CpuPath path);

// Packs the attributes of the listed nodes of the numAttrs-by-numNodes table and finds, for each
// listed node p, the listed nodes q whose value with p is strictly above the threshold: the
// measure of their attributes (1 for p itself). When the call is long it prints a progress line
// each tenth of its passes over the listed nodes. When more than request.maxEntries (at most
// kMaxEntries) entries pass, the pairs are `overflowed`, with their workspace freed.
AttributePairs findAttributePairs(const AttributeRequest& request, const MatrixView& table, const int32_t* nodes,
                                  uint64_t listed);

// Stores into S (numNodes-by-columnCount, with room for found.entries) the pairs found: in the
// column of each listed node p, every listed node q that passed, row q-1. Prints the closing line
// and frees the pass's workspace.
void storeAttributePairs(AttributePairs& found, const SparseView& S);
