#include "frame/gateway.h"

#include "frame/workspace.h"

// Whether an array is a real sparse double matrix.
bool isRealSparseDouble(const mxArray* array) {
  return mxGetClassID(array) == mxDOUBLE_CLASS && mxIsSparse(array) && !mxIsComplex(array);
}

// Whether an array is a real full double array.
bool isRealFullDouble(const mxArray* array) {
  return mxGetClassID(array) == mxDOUBLE_CLASS && !mxIsSparse(array) && !mxIsComplex(array);
}

// Whether an array is a full logical array.
bool isFullLogical(const mxArray* array) {
  return mxGetClassID(array) == mxLOGICAL_CLASS && !mxIsSparse(array);
}

// Whether an array has a first element that reads as a number: numeric, logical or char, not empty.
bool holdsNumber(const mxArray* array) {
  const mxClassID kind = mxGetClassID(array);
  const bool numeric = kind == mxLOGICAL_CLASS || kind == mxCHAR_CLASS ||
                       (kind >= mxDOUBLE_CLASS && kind <= mxUINT64_CLASS);
  return numeric && !mxIsSparse(array) && mxGetNumberOfElements(array) > 0;
}

// The first element of an array as a number, or NaN when it has no such element.
double readNumber(const mxArray* array) { return holdsNumber(array) ? mxGetScalar(array) : quietNaN(); }

// Whether an array has more than two dimensions.
bool hasPages(const mxArray* array) { return mxGetNumberOfDimensions_730(array) > 2; }

// The view of a sparse input: its size always, its arrays only when it is a real sparse double matrix.
MatrixView readSparse(const mxArray* array) {
  MatrixView view = {mxGetM(array), mxGetN(array), 0, 0, 0, 0};
  if (!isRealSparseDouble(array)) return view;
  view.pr = mxGetPr(array);
  view.ir = (const uint64_t*)mxGetIr_730(array);
  view.jc = (const uint64_t*)mxGetJc_730(array);
  return view;
}

// The view of a double or logical array, full or sparse.
MatrixView readMatrix(const mxArray* array) {
  const bool logical = mxGetClassID(array) == mxLOGICAL_CLASS, sparse = mxIsSparse(array);
  const MatrixView view = {mxGetM(array), mxGetN(array), logical ? 0 : mxGetPr(array),
                           logical ? mxGetLogicals(array) : 0, sparse ? (const uint64_t*)mxGetIr_730(array) : 0,
                           sparse ? (const uint64_t*)mxGetJc_730(array) : 0};
  return view;
}

// The data of a real full double array, or null for any other array (an empty one may give null too).
const double* readFullDouble(const mxArray* array) { return isRealFullDouble(array) ? mxGetPr(array) : 0; }

// The number of entries a view stores, its jc[n]; 0 for a view without arrays.
uint64_t storedEntries(const MatrixView& view) { return view.jc ? view.jc[view.n] : 0; }

// Creates the m-by-n real sparse output with room for `capacity` entries (never more than a
// 32-bit count can fill), places it in output slot 0 and returns its view.
SparseView createOutput(mxArray* plhs[], uint64_t m, uint64_t n, uint64_t capacity, const char* word) {
  const uint64_t room = capacity < kMaxEntries ? capacity : kMaxEntries;
  mxArray* output = mxCreateSparse_730(m, n, room, mxREAL);
  refuseNoMemory(output, word);
  plhs[0] = output;
  SparseView view = {m, n, mxGetPr(plhs[0]), (uint64_t*)mxGetIr_730(plhs[0]),
                     (uint64_t*)mxGetJc_730(plhs[0]), room};
  return view;
}

SparseView createPairResult(mxArray* plhs[], const PairRequest& request, bool overflowed, const char* reason,
                            const char* message, uint64_t m, uint64_t entries) {
  failIf(overflowed, request.word, reason, message);
  return createOutput(plhs, m, (uint64_t)request.columnCount, entries, request.word);
}
