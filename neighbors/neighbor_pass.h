// The one pass the neighbourhood-similarity kernels share: the common neighbours of every pair of
// nodes counted straight from the graph, without forming the matrix of counts.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"

// The similarity of nodes r and j from the neighbours they share and their degrees. A pair is
// kept when its value is strictly above the threshold, so a NaN is never kept.
typedef double (*NeighborValue)(int32_t shared, int32_t rowDegree, int32_t columnDegree);

// What sets one neighbourhood-similarity kernel apart: its word, its progress line and its value.
struct NeighborMeasure {
  const char* word;          // begins its opening and closing lines
  const char* progressLine;  // shows the percentage of the work done through its one %d
  NeighborValue valueOf;
};

// When a pass gives up, and when it shows its progress.
struct NeighborLimits {
  int32_t maxEntries;      // a result of more entries than this: the pass stops and keeps nothing
  uint64_t productsShown;  // a pass of this many products or more prints its progress in tenths
};

// A column j whose node shares `shared` neighbours with the node of the row being found.
struct NeighborPair {
  int32_t column;
  int32_t shared;
};

// The pairs a pass kept, row by row, in host workspace until storeNeighborPairs writes them out.
// When G's pattern is symmetric, so is the result: only the pairs with j >= r are kept, and each
// stands for its mirror image too.
struct NeighborPairs {
  NeighborMeasure measure;
  bool overflowed;     // the result would pass limits.maxEntries entries: the pass holds nothing
  bool symmetric;      // G's pattern is symmetric: the pairs are those with j >= r
  int32_t n;
  int32_t stored;      // the pairs kept
  int32_t entries;     // the entries of the result: the pairs and their mirror images
  NeighborPair* pairs;
  int32_t* rowEnds;    // n: the pairs of row r end before rowEnds[r]
  int32_t* degrees;    // n: each node's edges out, the nonzero entries of its row of G
};

// G is the n-by-n sparse graph, double or logical: an entry is an edge when its value is not 0
// (NaN is an edge). With P the pattern of G's edges, C = P * P counts the neighbours k with edges
// r -> k -> j. Finds, row by row, every pair (r, j) with C(r,j) > 0 whose value is strictly above
// `threshold`. Prints the opening line and, for a pass of limits.productsShown products or more, a
// line each tenth of its products. G must have column starts from 0 that do not decrease, rows
// below n that ascend strictly within each column, and fewer than 2^31 rows and stored entries.
NeighborPairs findNeighborPairs(const NeighborMeasure& measure, const MatrixView& G, double threshold,
                                const NeighborLimits& limits);

// Writes the kept pairs, column by column with rows ascending, into the n-by-n S with room for
// exactly found.entries entries, each with its value; prints the closing line and frees the pass's
// workspace.
void storeNeighborPairs(NeighborPairs& found, const SparseView& S);

// The modules' limits: a result's 32-bit count, and progress for passes of about a second or more.
NeighborLimits moduleLimits();
