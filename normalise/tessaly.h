// Jaccard normalisation of a sparse matrix of common-neighbour counts.
#pragma once

#include "frame/sparse_view.h"

// Turns each stored count v = C(r, j) of the n-by-n sparse C into v / (d[r] + d[j] - v), the
// Jaccard similarity of the two neighbourhoods, keeping only entries whose union is positive and
// whose similarity exceeds `threshold`. S has C's size and room; within a column its entries keep
// C's order.
void tessaly(const MatrixView& C, const double* d, double threshold, const SparseView& S);
