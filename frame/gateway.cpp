#include "frame/gateway.h"

// Raises the host error `identifier` with `message` when `failed` holds; the call ends there.
void failIf(bool failed, const char* identifier, const char* message) {
  if (failed) mexErrMsgIdAndTxt(identifier, message);
}

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

// A quiet NaN without the sign bit, made without the C library.
static double quietNaN() {
  const union {
    uint64_t bits;
    double value;
  } nan = {UINT64_C(0x7ff8000000000000)};
  return nan.value;
}

// The first element of an array as a number, or NaN when it has no such element.
double readNumber(const mxArray* array) { return holdsNumber(array) ? mxGetScalar(array) : quietNaN(); }

// The view of a sparse input: its size always, its arrays only when it is a real sparse double matrix.
SparseView readSparse(const mxArray* array) {
  SparseView view = {mxGetM(array), mxGetN(array), 0, 0, 0, 0};
  if (!isRealSparseDouble(array)) return view;
  view.pr = mxGetPr(array);
  view.ir = (uint64_t*)mxGetIr_730(array);
  view.jc = (uint64_t*)mxGetJc_730(array);
  return view;
}

// The data of a real full double array, or null for any other array (an empty one may give null too).
const double* readFullDouble(const mxArray* array) { return isRealFullDouble(array) ? mxGetPr(array) : 0; }

// The number of entries a view stores, its jc[n]; 0 for a view without arrays.
uint64_t storedEntries(const SparseView& view) { return view.jc ? view.jc[view.n] : 0; }

// Whether a size or count fits the kernels' 32-bit positions, rows and columns.
bool fitsIndexWidth(uint64_t count) { return count <= kMaxEntries; }

const double kTwoTo63 = 9223372036854775808.0;
const double kTwoTo64 = 18446744073709551616.0;

// A capacity computed as a float, truncated toward zero to an unsigned 64-bit count.
uint64_t capacityFromFloat(double capacity) {
  if (capacity >= kTwoTo63 && capacity < kTwoTo64)
    return (uint64_t)(capacity - kTwoTo63) + (UINT64_C(1) << 63);
  if (capacity >= -kTwoTo63 && capacity < kTwoTo63) return (uint64_t)(int64_t)capacity;
  return UINT64_C(1) << 63;
}

// Whether a capacity computed as a float is a count: a number from 0 up to, not including, 2^64.
bool isCountable(double capacity) { return capacity >= 0.0 && capacity < kTwoTo64; }

// Creates the n-by-n real sparse output with room for `capacity` entries (never more than a
// 32-bit count can fill), places it in output slot 0 and returns its view.
SparseView createOutput(mxArray* plhs[], uint64_t n, uint64_t capacity) {
  const uint64_t room = capacity < kMaxEntries ? capacity : kMaxEntries;
  plhs[0] = mxCreateSparse_730(n, n, room, mxREAL);
  SparseView view = {n, n, mxGetPr(plhs[0]), (uint64_t*)mxGetIr_730(plhs[0]),
                     (uint64_t*)mxGetJc_730(plhs[0]), room};
  return view;
}
