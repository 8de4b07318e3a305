// neighborJaccard and neighborOverlap: one measure over the whole graph, kept above a threshold.
#pragma once

#include "neighbors/neighbor_pass.h"

// The request of `word`(G, threshold) with its lines: `measure` of every pair sharing a neighbour
// strictly above `threshold`, the diagonal included, in every column of the n-node graph.
NeighborRequest thresholdedRequest(const char* word, const char* openingLine, const char* progressLine,
                                   const char* closingLine, const NeighborMeasure& measure, int32_t n,
                                   double threshold);

// Jaccard similarity of the neighbourhoods of nodes r and j, C(r,j) / ((d(r) + d(j)) - C(r,j)),
// for every pair sharing a neighbour whose union is above 0 and whose similarity is strictly
// above `threshold`; C = P * P for the pattern P of G's edges and d the edges out of each node.
NeighborPairs neighborJaccard(const MatrixView& G, double threshold);

// Overlap of the neighbourhoods of nodes r and j, C(r,j) / min(d(r), d(j)) (Inf when the smaller
// degree is 0), for every pair sharing a neighbour whose overlap is strictly above `threshold`.
NeighborPairs neighborOverlap(const MatrixView& G, double threshold);
