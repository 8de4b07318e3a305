// Jaccard normalisation of a sparse matrix of common-neighbour counts.
#pragma once

#include <stdint.h>

// Turns each stored count v = C(r, j) into v / (d[r] + d[j] - v), the Jaccard similarity of the two
// neighbourhoods, keeping only entries whose union is positive and whose similarity exceeds
// `threshold`. S has C's size; within a column its entries keep C's order.
void tessaly(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
             double threshold, uint64_t* irS, uint64_t* jcS, double* prS);
