// The one pass the neighbourhood-similarity kernels share: the common neighbours of every pair of
// nodes counted (or their weights summed) straight from the graph, without forming the matrix of
// counts. findNeighborPairs finds and keeps the pairs; the gateway creates the result with exactly
// their room; storeNeighborPairs writes it.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"
#include "frame/top_values.h"
#include "neighbors/neighbor_measures.h"

// Which pass finds the pairs: the cheaper by an estimate of their work, or, for the tests, the one
// named (the pass by prefixes only where the request allows it).
enum PassChoice { kCheaperPass, kCountingPass, kPrefixPass };

// When a pass gives up, when it shows its progress, and which pass runs.
struct NeighborLimits {
  int32_t maxEntries;      // a result of more entries than this: the pass stops and keeps nothing
  uint64_t productsShown;  // a pass of this many products or more prints its progress in tenths
  PassChoice pass;
};

// What a caller asks of a pass.
struct NeighborRequest {
  const char* word;          // the word of the call's errors, MATLAB:<word>:nomem
  const char* openingLine;   // printed at the start with n, the edges of G and the threshold
  const char* progressLine;  // shows the percentage of the products done through its one %d
  const char* closingLine;   // printed at the end with the result's entries
  const NeighborMeasure* measure;
  bool thresholded;         // keep only values strictly above `threshold`, else every pair sharing a neighbour
  double threshold;
  int32_t topK;             // keep only the topK largest values of each column (ties to the smaller row); 0: all
  bool self;                // keep the pairs of a node with itself
  bool nonEdgesOnly;        // keep only the pairs (r, j) that are no edge of G
  const int32_t* columns;   // the result's columns: 0-based nodes, strictly ascending; null for every node
  int32_t columnCount;      // how many (n for every node)
  NeighborLimits limits;
};

// A column j whose node shares `shared` neighbours with the node of the row being found.
struct NeighborPair {
  int32_t column;
  int32_t shared;
};

// What a pass found, in host workspace until storeNeighborPairs writes it out. When G is
// symmetric (its pattern, and its values for a weighted measure), so are the pairs: only those
// with j >= r are found, and each stands for its mirror image too, which lies in the result when
// its column does.
struct NeighborPairs {
  NeighborRequest request;
  bool overflowed;      // the result would pass limits.maxEntries entries: the pass holds nothing
  bool symmetric;
  int32_t n;
  int32_t stored;       // the pairs kept
  int32_t entries;      // the entries of the result
  NeighborPair* pairs;  // row by row; with result columns of its own and G symmetric, columns ascending in a row
  double* sums;         // each pair's sum, for a measure whose sum is more than a count; else null
  int32_t* rowEnds;     // n: the pairs of row r end before rowEnds[r]
  int32_t* degrees;     // n: each node's edges out, the nonzero entries of its row of G
  double* numbers;      // n: each node's weight total or norm, for a weighted measure; else null
  int32_t* resultColumnOf;  // n: the result's column of each node, or -1; null when every node is one
  TopValues top;            // with topK: each result column's kept rows and values instead of pairs
};

// G is the n-by-n sparse graph, double or logical: an entry is an edge when its value is not 0
// (NaN is an edge; a weighted measure takes the values of the edges as their weights). With P the
// pattern of G's edges, C = P * P counts the neighbours k with edges r -> k -> j. Finds, row by
// row, every pair (r, j) with C(r,j) > 0 that the request keeps. Prints the opening line and, for
// a pass of limits.productsShown products or more, a line each tenth of its products. G must have
// column starts from 0 that do not decrease, rows below n that ascend strictly within each column,
// and fewer than 2^31 rows and stored entries.
NeighborPairs findNeighborPairs(const NeighborRequest& request, const MatrixView& G);

// Writes what the pass found, column by column with rows ascending, into the n-by-columnCount S
// with room for exactly found.entries entries, each with its value; prints the closing line and
// frees the pass's workspace.
void storeNeighborPairs(NeighborPairs& found, const SparseView& S);

// The modules' limits: a result's 32-bit count, and progress for passes of about a second or more.
NeighborLimits moduleLimits();
