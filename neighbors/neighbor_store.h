// Writing what a neighbourhood pass kept into the result: S(r, j) = v for every pair (r, j) kept,
// in column j's place among the result's columns, and for a symmetric G its mirror image S(j, r)
// in r's; rows ascend within each column. With top values, each column's kept values.
#pragma once

#include "frame/sparse_view.h"
#include "neighbors/neighbor_pairs.h"

// Writes what the pass found, column by column with rows ascending, into the n-by-columnCount S
// with room for exactly found.entries entries, each with its value; prints the closing line and
// frees the pass's workspace.
void storeNeighborPairs(NeighborPairs& found, const SparseView& S);

// Frees what a pass keeps for storing and marks it as holding nothing.
void releaseNeighborPairs(NeighborPairs& found);
