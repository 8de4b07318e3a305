// The chosen rows of an attribute similarity: S(i, c) = f(a, h(q), h(p)) for result row i, the
// node of list position q, and every listed p whose node is column c and whose value with q passes
// (1 for p = q), as the whole result holds them: the rows are cut into rounds sliced among workers,
// each row searching every listed node once, so that a call costs its rows' share of the whole
// work; their pairs are kept row by row and written by columns, rows ascending. With top values,
// S(:, c) keeps the k largest of column c among the chosen rows.
#pragma once

#include "attributes/attribute_pairs.h"

// Finds the pairs of the request's rows into `found` (its bit sets, columns and progress set):
// found.entries, or found.overflowed with nothing kept when more than the limit pass.
void findAttributeRows(AttributePairs& found);

// Writes the rows' pairs into S (rowCount-by-columnCount, with room for found.entries).
void storeAttributeRows(AttributePairs& found, const SparseView& S);
