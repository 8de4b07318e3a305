// The result of a pass over pairs of nodes, shared by the neighbourhood and attribute passes.
// A pass finds pairs (a, b) with a value v; the result S holds v at S(a, b) in b's column and,
// when S is symmetric, its mirror image S(b, a) in a's column, each only where that column is one
// of the result's. With top values, S(:, c) keeps the k largest of column c's values, ties to the
// smaller row. The layer holds what a caller asks of a pass, which column of the result each node
// has, the entries a pair makes, the top values offered and stored, the column starts by a
// cumulative sum; frame/gateway.h hands the result to the host.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"
#include "frame/top_values.h"

// What a caller asks of a pass over pairs, whatever their measure.
struct PairRequest {
  const char* word;          // the word of the call's errors, MATLAB:<word>:<reason>
  const char* progressLine;  // shows the percentage done through its one %d
  const char* closingLine;   // printed at the end with the result's entries
  double threshold;          // keep only values strictly above it
  bool self;                 // keep the pairs of a node with itself
  int32_t topK;              // keep only the topK largest values of each column (ties to the smaller row); 0: all
  const int32_t* columns;    // the result's columns: 0-based nodes, strictly ascending; null for every node
  int32_t columnCount;       // how many (every node's when columns is null)
  uint64_t maxEntries;       // a result of more entries than this: the pass stops and keeps nothing
  int32_t threads;           // the most threads the pass runs on; 0 for the count of defaultThreads()
};

// Which column of the result each node of a pass has. A pass numbers its nodes 0 to count-1 (a
// node p stands for nodes[p] when the pass runs over a list, else for itself).
struct ResultColumns {
  const int32_t* of;     // each node's column, or -1 where it has none; null when every node has its own
  const int32_t* nodes;  // the listed node of each; null when a pass node is itself
};

// The result's column of pass node p, or -1.
inline int32_t columnOfNode(const ResultColumns& columns, int32_t p) {
  return columns.of ? columns.of[p] : columns.nodes ? columns.nodes[p] : p;
}

// The result's columns of `count` pass nodes (their listed nodes `nodes`, ascending, or null):
// of[p] is the place of p's node among the request's columns, or -1; `of` is null when the
// request has no columns of its own. In workspace.
ResultColumns resultColumnsOf(const PairRequest& request, const int32_t* nodes, int32_t count);

// The entries of the result the pair of pass nodes a and b makes: S(a, b) when b's node is a
// column, and its mirror image S(b, a) when `mirrored`, b is not a and a's node is a column.
inline int32_t pairEntries(const ResultColumns& columns, bool mirrored, int32_t a, int32_t b) {
  return (columnOfNode(columns, b) >= 0) + (mirrored && a != b && columnOfNode(columns, a) >= 0);
}

// Whether the pair (a, b) of value `value` enters the top values of a column it lies in: row a of
// its column (b's) or, mirrored, row b of a's column, told from the columns' bars.
inline bool mightEnterTop(const TopValues& top, const ResultColumns& columns, bool mirrored, int32_t a, int32_t b,
                          double value) {
  const int32_t column = columnOfNode(columns, b), mirror = mirrored && a != b ? columnOfNode(columns, a) : -1;
  return (column >= 0 && entersTop(top, column, a, value)) || (mirror >= 0 && entersTop(top, mirror, b, value));
}

// Offers the pair (a, b) of value `value` to the top values of the columns it lies in: row a of
// b's column and, mirrored, row b of a's. A NaN is never offered.
inline void offerPairToTop(TopValues& top, const ResultColumns& columns, bool mirrored, int32_t a, int32_t b,
                           double value) {
  if (value != value) return;
  const int32_t column = columnOfNode(columns, b);
  if (column >= 0) offerTop(top, column, a, value);
  const int32_t mirror = mirrored && a != b ? columnOfNode(columns, a) : -1;
  if (mirror >= 0) offerTop(top, mirror, b, value);
}

// Writes each column's top values into S, rows ascending: a kept pass node p as row nodes[p] (p
// itself when `nodes` is null). S has room for every value kept; `workers` workers each write a
// slice of the columns, which `word` names for the workspace.
void storeTopValues(const char* word, TopValues& top, const int32_t* nodes, const SparseView& S, int32_t workers);

// Turns the entries counted in each of `columns` columns (counts[c]) into the result's column
// starts, jc[c] the entries of the columns before c and jc[columns] all of them, and each count
// into its column's first position; returns all the entries.
uint64_t cumulativeStarts(uint64_t* jc, uint64_t* counts, int32_t columns);
