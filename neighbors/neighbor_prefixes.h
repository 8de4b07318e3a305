// The pass that skips pairs which cannot pass the threshold, for a measure of counted neighbours
// with a bound on what a passing pair shares, on a symmetric pattern: the set-similarity join of
// the rows of P (each node's neighbours), its neighbours ordered from the fewest edges to the
// most, so that the nodes of high degree, through which most pairs pass, come last.
//
// A pair of degrees a >= b can pass only when b is large enough (the size filter, b > t a for
// Jaccard) and when it shares more than c(a, b) neighbours (c > t (a + b) / (1 + t) for Jaccard).
// Two rows sharing that many neighbours share one among the first of each row (the prefixes):
// each row's prefix is looked up in an index of the prefixes of the rows before it, the shared
// neighbours counted there bound what a pair can share in all, and only the pairs that may still
// pass are counted in full. Every pair found is then kept by the same value and test as in the
// full pass. The index is built once; the rows then probe it independently, shared among workers.
#pragma once

#include <stdint.h>

#include "frame/threads.h"
#include "neighbors/neighbor_pairs.h"
#include "neighbors/neighbor_pattern.h"

// Finds the pairs of `found` (its request, n, degrees and symmetric pattern P set) by prefixes,
// when the request allows it (a threshold above 0, a measure with a bound, every column, no top
// values, a symmetric pattern) and its limits choose it, or leave the choice to an estimate of its
// work that says it is cheaper than counting through every neighbour (`products` of them); returns
// false, having kept nothing, when it does not run. Prints the progress lines in tenths of its
// own work when `products` reaches the request's limit for lines. The choice never depends on the
// number of threads.
bool findByPrefixes(NeighborPairs& found, const RowPattern& P, uint64_t products, CallThreads& threads);
