// Similarity of the neighbourhoods of every pair of nodes of a graph, straight from the graph.
#pragma once

#include "neighbors/neighbor_pass.h"

// Jaccard similarity of the neighbourhoods of nodes r and j, C(r,j) / ((d(r) + d(j)) - C(r,j)),
// for every pair sharing a neighbour whose union is above 0 and whose similarity is strictly
// above `threshold`; C = P * P for the pattern P of G's edges and d the edges out of each node.
NeighborPairs neighborJaccard(const MatrixView& G, double threshold);

// Overlap of the neighbourhoods of nodes r and j, C(r,j) / min(d(r), d(j)) (Inf when the smaller
// degree is 0), for every pair sharing a neighbour whose overlap is strictly above `threshold`.
NeighborPairs neighborOverlap(const MatrixView& G, double threshold);
