// A weighted similarity of the attributes of pairs of listed nodes. With x(a,p) >= 0 the value of
// attribute a at node p (0 where the node holds none), M = sum_a min(x(a,p), x(a,q)), D = sum_a
// x(a,p) x(a,q) and s(p) = sum_a x(a,p), each sum over a ascending:
//   jaccard  M / (s(p) + s(q) - M), the sum of the smaller values over the sum of the larger
//   dice     2 M / (s(p) + s(q))
//   cosine   D / sqrt (|p|^2 |q|^2), |p|^2 = sum_a x(a,p)^2
//   overlap  M / min (s(p), s(q))
// found by the neighbourhood pass over the table as a bipartite graph: A's row p holds the
// attributes node p holds, with their values (the table's column p, for listed nodes alone), B's
// row a the listed nodes holding a, so that C = A * B sums over the attributes two nodes share.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"
#include "neighbors/neighbor_pass.h"

// The pairs `request` keeps of the numAttrs-by-numNodes table (double, full or sparse, or logical
// as values of 1) among the `listed` nodes `nodes` (0-based, ascending): the rows and columns of
// the result are the table's nodes. Prints nothing but the progress lines.
NeighborPairs findWeightedAttributePairs(const NeighborRequest& request, const MatrixView& table, const int32_t* nodes,
                                         uint64_t listed);

// Whether every stored value of the table is finite and not below 0 (a logical table's are).
bool weightsAreValues(const MatrixView& table);
