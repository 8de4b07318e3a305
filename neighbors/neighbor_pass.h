// The one pass the neighbourhood-similarity kernels share: the common neighbours of every pair of
// nodes counted (or their weights summed) straight from the graph, without forming the matrix of
// counts, on as many threads as the call's work is worth. findNeighborPairs finds and keeps the
// pairs; the gateway creates the result with exactly their room; storeNeighborPairs
// (neighbor_store.h) writes it.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"
#include "neighbors/neighbor_pairs.h"
#include "neighbors/neighbor_pattern.h"

// G is the n-by-n sparse graph, double or logical: an entry is an edge when its value is not 0
// (NaN is an edge; a weighted measure takes the values of the edges as their weights). With P the
// pattern of G's edges, C = P * P counts the neighbours k with edges r -> k -> j. Finds, row by
// row, every pair (r, j) with C(r,j) > 0 that the request keeps. Prints the opening line and, for
// a pass of limits.productsShown products or more, a line each tenth of its products. G must have
// column starts from 0 that do not decrease, rows below n that ascend strictly within each column,
// and fewer than 2^31 rows and stored entries. The rows are shared among up to pairs.threads
// threads (0: the host's count) when the work is worth it; what is found is the same whatever
// their number.
NeighborPairs findNeighborPairs(const NeighborRequest& request, const MatrixView& G);

// The pairs of C = A * B that `request` keeps, for patterns A and B made by the caller, B the
// transpose of A, so that C is symmetric: the pass of findNeighborPairs past the making of its
// patterns, printing nothing before it starts. No pairs are non-edges (request.nonEdgesOnly false);
// the nodes of C's rows and columns are those of A's rows.
NeighborPairs findPairsOfPatterns(const NeighborRequest& request, const RowPattern& A, const RowPattern& B);

// The modules' limits: progress for passes of about a second or more, the cheaper pass, and a
// thread for each few milliseconds of work.
NeighborLimits moduleLimits();
