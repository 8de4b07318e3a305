// A similarity of the attribute sets of pairs of listed nodes, in a result sized exactly. For list
// positions p <= q, with a the attributes both hold and h(p), h(q) those each holds, the value is
// f(a, h(p), h(q)) by the measure (1 for p = q). The listed nodes are packed into bit sets once;
// findAttributePairs counts each unordered pair with population counts, the columns p cut into
// rounds and sliced among workers by their work, keeping the pairs that pass while few pass (or
// each column's largest values, a pair offered only when it reaches the least value one of its
// two columns holds); the gateway creates the result with exactly the room they need;
// storeAttributePairs (attribute_store.h) writes it, counting again what it did not keep, the
// result's upper half mirrored from its lower half. What is found, printed and raised is the same
// whatever the number of workers.
#pragma once

#include <stdint.h>

#include "attributes/shared_counts.h"
#include "frame/cpu_paths.h"
#include "frame/pair_results.h"
#include "frame/progress.h"
#include "frame/sparse_view.h"
#include "frame/threads.h"
#include "frame/top_values.h"

// Pairs times words (see attributePairsWork) that take about a second here: longer calls print progress.
const uint64_t kWorkOfASecond = UINT64_C(1) << 30;

// Work worth a thread of its own: a few milliseconds.
const uint64_t kWorkPerAttributeThread = UINT64_C(1) << 23;

// The work of a call: every unordered pair of listed nodes, each node with itself included
// (listed * (listed + 1) / 2 pairs), a pair costing about as much as one 64-bit word of its bit
// sets; saturates at UINT64_MAX.
uint64_t attributePairsWork(uint64_t listed, uint64_t numAttrs);

// Whether the workspace of a call can be counted in a size_t: the listed nodes' bit sets (about
// listed * numAttrs / 8 bytes) and a few words per listed node. The rows the first pass keeps
// for the second, 8 bytes each, become entries of the result, 16 bytes each or two of them.
bool attributeWorkspaceFits(uint64_t listed, uint64_t numAttrs);

// What a caller asks of a pass: the request of any pass over pairs, the measure, the CPU path of
// the population counts, and the work worth a thread (a unit a word of a pair's bit sets).
struct AttributeRequest {
  PairRequest pairs;
  AttributeMeasure measure;
  CpuPath path;
  uint64_t workPerThread;
  const int32_t* rows;  // the result's rows: 0-based nodes, strictly ascending; null for every node
  int32_t rowCount;     // how many (numNodes for every node)
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
  const int32_t* nodes;  // the listed nodes, 0-based and strictly ascending
  uint64_t numNodes;
  bool overflowed;   // more entries than the limit pass: the pass holds nothing
  uint64_t entries;  // the entries of the result
  KeptRows kept;
  uint64_t* own;       // per list position: its own rows found (itself and the later rows that pass)
  uint64_t* mirrored;  // per list position: the earlier positions that list it
  uint64_t* ownStart;
  ResultColumns columns;              // the result's column of each list position
  uint64_t firstColumn, pastColumns;  // with result columns: the list positions from the first of them to past the last
  TopValues top;  // with topK: each result column's kept rows (list positions) and values
  TenthsProgress progress;
  CallThreads threads;
  int32_t* rowPositions;  // with rows of its own: the list position of each result row's node, or -1
  SimilarRow* rowPairs;   // ... the pairs kept, row after row, each with its column's list position
  int64_t* rowEnds;       // ... where the pairs of each row end
};

// The request of attributeJaccard: the Jaccard similarity of every pair of listed nodes above
// `threshold`, in every column of a table of numNodes nodes, with attributeJaccard's lines.
AttributeRequest attributeJaccardRequest(double threshold, uint64_t numNodes, uint64_t maxEntries, CpuPath path);

// The rows list position `column` finds by `search` (found.search, or a worker's copy with its
// bars), into `rows` (room for every row it searches and kInterleavedRows more): all its later
// rows when it is a column of the result, else those of the result's columns alone. Returns how many.
uint64_t findRows(const AttributePairs& found, const RowSearch& search, uint64_t column, SimilarRow* rows);

// The value of list positions `column` and `row` from the attributes they share.
double pairValue(const AttributePairs& found, uint64_t column, const SimilarRow& row);

// Whether the result has columns of its own or keeps each column's largest values: the pass then
// takes the pairs with a column of the result, and mirrors from the pairs, not from the result.
bool isGeneral(const AttributePairs& found);

// For `workers` workers, paddedRows(listed) bars each (see RowSearch): the least value each list
// position's column takes among found.top's, -Inf until it is full, +Inf where it is no column.
double* startPositionBars(const AttributePairs& found, int32_t workers);

// Sets list position p's bar to the least value its column takes among `top`'s.
inline void refreshPositionBar(double* bars, const TopValues& top, const ResultColumns& columns, uint32_t p) {
  const int32_t column = columnOfNode(columns, (int32_t)p);
  if (column >= 0) bars[p] = top.bars[column];
}

// The work of list position p's search: a unit for each word of each row it searches, and one.
uint64_t columnWork(const AttributePairs& found, uint64_t p);

// Packs the attributes of the listed nodes of the numAttrs-by-numNodes table and finds, for each
// listed node p, the listed nodes q whose value with p is strictly above the threshold: the
// measure of their attributes (1 for p itself). When the call is long it prints a progress line
// each tenth of its passes over the listed nodes. When more than request.pairs.maxEntries (at
// most kMaxEntries) entries pass, the pairs are `overflowed`, with their workspace freed.
AttributePairs findAttributePairs(const AttributeRequest& request, const MatrixView& table, const int32_t* nodes,
                                  uint64_t listed);

// Frees the workspace of a pass.
void releaseAttributePairs(AttributePairs& found);
