// What a neighbourhood pass is asked and what it finds: the types the pass, the pass by prefixes
// and the storing share. With P the pattern of G's edges (P(r,k) = 1 where G(r,k) is an edge), the
// pass finds the pairs (r, j) with C(r,j) > 0 for C = P * P, the neighbours k with r -> k -> j,
// each with its count or sum, and keeps those the request keeps.
#pragma once

#include <stdint.h>

#include "frame/pair_results.h"
#include "frame/threads.h"
#include "frame/top_values.h"
#include "neighbors/neighbor_measures.h"
#include "neighbors/neighbor_pattern.h"

// Which pass finds the pairs: the cheaper by an estimate of their work, or, for the tests, the one
// named (the pass by prefixes only where the request allows it).
enum PassChoice { kCheaperPass, kCountingPass, kPrefixPass };

// When a pass shows its progress, which pass runs, and how much work makes a thread worth it.
struct NeighborLimits {
  uint64_t productsShown;  // a pass of this many products or more prints its progress in tenths
  PassChoice pass;
  uint64_t workPerThread;  // a thread for each this much work; a pass of less than two runs on one
};

// What a caller asks of a pass: the request of any pass over pairs (maxEntries no more than a
// result's 32-bit count), and what the neighbourhood pass adds.
struct NeighborRequest {
  PairRequest pairs;
  const char* openingLine;  // printed at the start with n, the edges of G and the threshold
  const NeighborMeasure* measure;
  bool thresholded;   // keep only values strictly above pairs.threshold, else every pair sharing a neighbour
  bool nonEdgesOnly;  // keep only the pairs (r, j) that are no edge of G
  NeighborDirection direction;
  const int32_t* rows;  // the result's rows: 0-based nodes, strictly ascending; null for every node
  int32_t rowCount;     // how many (n for every node)
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
  bool overflowed;  // the result would pass pairs.maxEntries entries: the pass holds nothing
  bool symmetric;   // the pairs found stand for their mirror images too (never with rows of its own)
  int32_t n;
  int32_t rowCount;         // the result's rows: every node, or the request's rows
  const int32_t* rowNodes;  // the node of each result row; null when every node is a row
  int32_t stored;          // the pairs kept
  int32_t entries;         // the entries of the result
  NeighborPair* pairs;     // row by row; with result columns of its own and G symmetric, columns ascending in a row
  double* sums;            // each pair's sum, for a measure whose sum is more than a count; else null
  int32_t* rowEnds;        // rowCount: the pairs of result row i end before rowEnds[i]
  int32_t* degrees;        // n: each node's neighbours in the direction asked (its edges out, for paths)
  double* numbers;         // n: each node's weight total or norm, for a weighted measure; else null
  ResultColumns columns;   // the result's column of each node
  TopValues top;           // with topK: each result column's kept rows and values instead of pairs
  CallThreads threads;     // the threads the call may use, for the storing
};

// The node of result row i.
inline int32_t rowNode(const NeighborPairs& found, int32_t i) { return found.rowNodes ? found.rowNodes[i] : i; }
