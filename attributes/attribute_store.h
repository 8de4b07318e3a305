// Writing what the attribute pass found into the result. Column c of S, for the listed node of
// list position p, holds first the mirror images S(q, p) of the earlier positions q < p that list
// p, then p's own rows q >= p, rows ascending. The columns are cut into rounds sliced among workers
// by their work; each worker writes its columns' own rows, kept or counted again, and their mirror
// images go to the later columns: swept from the own rows when every node is a column, or placed
// by each worker's count of them per column otherwise.
#pragma once

#include "attributes/attribute_pairs.h"

// Stores into S (numNodes-by-columnCount, with room for found.entries) the pairs found: in the
// column of each listed node p, every listed node q that passed, row q-1. Prints the closing line
// and frees the pass's workspace.
void storeAttributePairs(AttributePairs& found, const SparseView& S);
