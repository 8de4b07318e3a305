// libmx of the test host: the array operations and workspace. Each operation first checks that it
// is called on the host's thread.
#include <stdlib.h>
#include <string.h>

#include "tests/host/host_state.h"

namespace {

// Whether an array has a first element a plug-in may read as a number.
bool hasFirstElement(const mxArray* array) {
  if (array->classId == mxCELL_CLASS || array->classId == mxSTRUCT_CLASS) return false;
  if (array->sparse) return array->nzmax > 0 && array->jc[array->n] > 0;
  return array->elements > 0;
}

// The first real element of a numeric, logical or char array as a double.
double firstElement(const mxArray* array) {
  const void* first = array->real;
  switch (array->classId) {
    case mxDOUBLE_CLASS: return *(const double*)first;
    case mxSINGLE_CLASS: return *(const float*)first;
    case mxINT8_CLASS: return *(const int8_t*)first;
    case mxUINT8_CLASS: case mxLOGICAL_CLASS: return *(const uint8_t*)first;
    case mxINT16_CLASS: return *(const int16_t*)first;
    case mxUINT16_CLASS: case mxCHAR_CLASS: return *(const uint16_t*)first;
    case mxINT32_CLASS: return *(const int32_t*)first;
    case mxUINT32_CLASS: return *(const uint32_t*)first;
    case mxINT64_CLASS: return (double)*(const int64_t*)first;
    case mxUINT64_CLASS: return (double)*(const uint64_t*)first;
    default: misuse("mxGetScalar", "read of an array of no numeric class");
  }
}

// A new workspace block of exactly `bytes`, or null beyond the largest workspace or when the
// memory cannot be had. In strict mode it reads as a pattern, not as zeros, until written.
void* newBlock(size_t bytes) {
  HostState& state = hostState();
  if (bytes > state.caps.largestWorkspace - state.workspaceBytes) return nullptr;
  void* block = tryExactBlock(bytes, false);
  if (!block) return nullptr;
  if (state.strict) memset(block, 0xa5, bytes);
  state.workspace[block] = bytes;
  state.workspaceBytes += bytes;
  return block;
}

// The size of a workspace block the host gave; a misuse of `operation` for any other block.
size_t heldBytes(void* block, const char* operation, const char* what) {
  const auto held = hostState().workspace.find(block);
  if (held == hostState().workspace.end()) misuse(operation, what);
  return held->second;
}

// Frees a workspace block the host gave.
void releaseBlock(void* block) {
  HostState& state = hostState();
  state.workspaceBytes -= state.workspace[block];
  state.workspace.erase(block);
  free(block);
}

}  // namespace

// The host operations of libmx, exported by name (a Windows DLL exports only what is marked).
extern "C" {

TESTHOST_API size_t mxGetM(const mxArray* array) {
  testhostEnter("mxGetM");
  return array->m;
}

TESTHOST_API size_t mxGetN(const mxArray* array) {
  testhostEnter("mxGetN");
  return array->n;
}

// The values of a double array; null for any other class, so that a plug-in reading another class
// as doubles is caught.
TESTHOST_API double* mxGetPr(const mxArray* array) {
  testhostEnter("mxGetPr");
  return array->classId == mxDOUBLE_CLASS ? (double*)array->real : nullptr;
}

TESTHOST_API uint64_t* mxGetIr_730(const mxArray* array) {
  testhostEnter("mxGetIr");
  return array->sparse ? array->ir : nullptr;
}

TESTHOST_API uint64_t* mxGetJc_730(const mxArray* array) {
  testhostEnter("mxGetJc");
  return array->sparse ? array->jc : nullptr;
}

// Unlike MATLAB, the test host refuses to read a first element that is not there, so a test
// notices a plug-in that reads one.
TESTHOST_API double mxGetScalar(const mxArray* array) {
  testhostEnter("mxGetScalar");
  if (!hasFirstElement(array)) misuse("mxGetScalar", "read of a first element that does not exist");
  return firstElement(array);
}

TESTHOST_API mxLogical* mxGetLogicals(const mxArray* array) {
  testhostEnter("mxGetLogicals");
  return array->classId == mxLOGICAL_CLASS ? (mxLogical*)array->real : nullptr;
}

// Like MATLAB, the test host ends the call when it cannot give an output the room asked for, and
// gives room for one entry when asked for none; strict mode gives exactly the room asked for.
TESTHOST_API mxArray* mxCreateSparse_730(size_t m, size_t n, size_t nzmax, mxComplexity complexity) {
  testhostEnter("mxCreateSparse");
  const HostState& state = hostState();
  if (failsHere()) return nullptr;
  if (nzmax > state.caps.largestRoom || n > state.caps.largestColumns) raiseHostError("MATLAB:nomem", "Out of memory.");
  const size_t room = state.strict || nzmax > 0 ? nzmax : 1;
  mxArray* output = newOutput(m, n, room, complexity == mxCOMPLEX, state.strict ? 0 : kGuard);
  if (!output) raiseHostError("MATLAB:nomem", "Out of memory.");
  return recordCreated(output);
}

// Like MATLAB, the test host ends the call when it cannot give a full output.
TESTHOST_API mxArray* mxCreateDoubleMatrix_730(size_t m, size_t n, mxComplexity complexity) {
  testhostEnter("mxCreateDoubleMatrix");
  const HostState& state = hostState();
  if (failsHere()) return nullptr;
  if (sizeProduct(m, n) > state.caps.largestRoom) raiseHostError("MATLAB:nomem", "Out of memory.");
  mxArray* output = newHostArray(mxDOUBLE_CLASS, m, n, false, complexity == mxCOMPLEX, 0);
  return recordCreated(output);
}

// Destroys an array the host made for the plug-in (an output or an answer of the host's functions);
// any other array, an input above all, is not the plug-in's to destroy.
TESTHOST_API void mxDestroyArray(mxArray* array) {
  testhostEnter("mxDestroyArray");
  if (!array) return;
  if (hostState().created.erase(array) == 0) misuse("mxDestroyArray", "destroy of an array the host did not create for the plug-in");
  destroyHostArray(array);
}

TESTHOST_API mxClassID mxGetClassID(const mxArray* array) {
  testhostEnter("mxGetClassID");
  return array->classId;
}

TESTHOST_API bool mxIsSparse(const mxArray* array) {
  testhostEnter("mxIsSparse");
  return array->sparse;
}

TESTHOST_API bool mxIsComplex(const mxArray* array) {
  testhostEnter("mxIsComplex");
  return array->complex;
}

TESTHOST_API size_t mxGetNumberOfElements(const mxArray* array) {
  testhostEnter("mxGetNumberOfElements");
  return sizeProduct(array->m, array->n);
}

TESTHOST_API size_t mxGetNumberOfDimensions_730(const mxArray* array) {
  testhostEnter("mxGetNumberOfDimensions");
  return array->dimensions;
}

// The char array's UTF-16 text as bytes, each of its units cut to its low byte.
TESTHOST_API int mxGetString_730(const mxArray* array, char* buffer, size_t size) {
  testhostEnter("mxGetString");
  if (size == 0) return 1;
  buffer[0] = '\0';
  if (array->classId != mxCHAR_CLASS || array->sparse) return 1;
  const uint16_t* units = (const uint16_t*)array->real;
  const size_t copied = array->elements < size ? array->elements : size - 1;
  for (size_t k = 0; k < copied; ++k) buffer[k] = (char)units[k];
  buffer[copied] = '\0';
  return copied < array->elements;
}

// Workspace: like Octave's, mxMalloc and mxCalloc end the call when they cannot give what is asked for.
TESTHOST_API void* mxMalloc(size_t bytes) {
  testhostEnter("mxMalloc");
  if (failsHere()) return nullptr;
  void* block = newBlock(bytes);
  if (!block) raiseHostError("MATLAB:nomem", "Out of memory.");
  return block;
}

TESTHOST_API void* mxCalloc(size_t count, size_t size) {
  testhostEnter("mxCalloc");
  if (size > 0 && count > hostState().caps.largestWorkspace / size) raiseHostError("MATLAB:nomem", "Out of memory.");
  void* block = mxMalloc(count * size);
  if (block) memset(block, 0, count * size);
  return block;
}

TESTHOST_API void mxFree(void* block) {
  testhostEnter("mxFree");
  if (!block) return;
  heldBytes(block, "mxFree", "free of a block the host did not give");
  releaseBlock(block);
}

// Like the host's, a grown or shrunk block keeps its contents; the test host always moves it, so a
// module that keeps using the old block is caught. Like Octave's, it answers null, the block kept,
// when it cannot give the memory.
TESTHOST_API void* mxRealloc(void* block, size_t bytes) {
  testhostEnter("mxRealloc");
  if (!block) return mxMalloc(bytes);
  const size_t held = heldBytes(block, "mxRealloc", "realloc of a block the host did not give");
  if (failsHere()) return nullptr;
  void* moved = newBlock(bytes);
  if (!moved) return nullptr;
  memcpy(moved, block, held < bytes ? held : bytes);
  releaseBlock(block);
  return moved;
}

}  // extern "C"
