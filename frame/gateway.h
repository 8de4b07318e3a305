// The gateway steps every module shares: reading inputs safely, refusing what cannot be read and
// creating the output.
#pragma once

#include <stdint.h>

#include "frame/errors.h"
#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/pair_results.h"
#include "frame/sparse_view.h"

// Whether an array is a real sparse double matrix.
bool isRealSparseDouble(const mxArray* array);

// Whether an array is a real full double array.
bool isRealFullDouble(const mxArray* array);

// Whether an array is a full logical array.
bool isFullLogical(const mxArray* array);

// Whether an array has more than two dimensions.
bool hasPages(const mxArray* array);

// Whether an array has a first element that reads as a number: numeric, logical or char, not empty.
bool holdsNumber(const mxArray* array);

// The first element of an array as a number, or NaN when it has no such element.
double readNumber(const mxArray* array);

// The view of a sparse input: its size always, its arrays only when it is a real sparse double matrix.
MatrixView readSparse(const mxArray* array);

// The view of a double or logical array, full or sparse: its size, its values (pr for double,
// logicals for logical) and, when sparse, its rows and column starts.
MatrixView readMatrix(const mxArray* array);

// The data of a real full double array, or null for any other array (an empty one may give null too).
const double* readFullDouble(const mxArray* array);

// The number of entries a view stores, its jc[n]; 0 for a view without arrays.
uint64_t storedEntries(const MatrixView& view);

// Creates the m-by-n real sparse output with room for `capacity` entries (never more than a
// 32-bit count can fill), places it in output slot 0 and returns its view. A host that answers
// null ends the call in MATLAB:<word>:nomem.
SparseView createOutput(mxArray* plhs[], uint64_t m, uint64_t n, uint64_t capacity, const char* word);

// Ends the call in MATLAB:<word>:<reason> with `message` when a pass over pairs overflowed; else
// creates its m-by-columnCount result with room for exactly `entries` entries, in output slot 0.
SparseView createPairResult(mxArray* plhs[], const PairRequest& request, bool overflowed, const char* reason,
                            const char* message, uint64_t m, uint64_t entries);
