// The values of listed pairs of nodes, as the whole result holds them, without the pass over G: for a
// pair (r, j), the common neighbours k are those both in A's row r and in B's column j (the row j
// of Bt), found by merging the two sorted rows, and c, or the measure's sum over them in ascending
// order of k, gives v = f(c, x(r), x(j)) exactly as the pass computes S(r, j); 0 where S holds no
// entry (no common neighbour, the diagonal left out, or an edge where only non-edges are kept).
// Past arranging G's edges by rows and columns once (a few units of work an entry), the cost is the
// two rows of each pair: no pair is counted that is not listed.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"
#include "neighbors/neighbor_pairs.h"

// Writes to values[p] the entry of the whole result of `request` at the pair of 0-based nodes
// (from[p], to[p]), for p from 0 to count - 1, the pairs sliced among up to pairs.threads threads
// by their rows' length; returns how many are not 0 (NaN included). Prints the opening line
// first. Reads request.measure, direction, pairs.self and nonEdgesOnly; G as findNeighborPairs
// takes it.
int64_t neighborPairValues(const NeighborRequest& request, const MatrixView& G, const int32_t* from, const int32_t* to,
                           int64_t count, double* values);
