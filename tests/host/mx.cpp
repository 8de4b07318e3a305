// libmx of the plain-array test host.
#include <stdlib.h>
#include <string.h>

#include <map>

#include "tests/host/testhost.h"

// Entries past an output's room, filled with a pattern that a write past the room would change.
static const size_t kGuard = 16;
static const uint64_t kGuardIndex = UINT64_C(0x5a5a5a5a5a5a5a5a);
static const double kGuardValue = -123456.789;

// The largest output the test host creates; beyond it, it answers as a host out of memory.
static const size_t kLargestRoom = 200000000;

// The most workspace a call may hold at once; beyond it, the test host answers as a host out of memory.
static const size_t kLargestWorkspace = size_t(2) << 30;

// The workspace blocks a call holds, and their sizes.
static std::map<void*, size_t> workspace;
static size_t workspaceBytes = 0;

// The allocations (workspace and outputs) of the call under way, and the one chosen to fail.
static size_t allocations = 0;
static size_t failingAllocation = 0;
static bool failWithNull = false;

struct mxArray_tag {
  mxClassID classId;
  bool sparse;
  bool complex;
  size_t m, n;
  size_t dimensions;                 // 2, or more for an array of pages (n counts every page's columns)
  size_t nzmax;                      // sparse only: room of real and ir, without the guard
  std::vector<double> real;          // double values (full: m*n; sparse: nzmax + guard)
  std::vector<uint64_t> ir, jc;      // sparse structure
  std::vector<unsigned char> bytes;  // logical, char and integer classes: one byte an element
  const uint64_t* borrowedJc;        // column starts lent by a test instead of jc
};

// A host error raised by libmx itself, as mexErrMsgIdAndTxt raises one: libmx needs nothing of
// libmex, whose maxNumCompThreads makes arrays here (a Windows DLL cannot link in a circle).
[[noreturn]] static void raiseError(const char* identifier, const char* message) {
  throw HostError{identifier, message};
}

static mxArray* newArray(mxClassID classId, size_t m, size_t n) {
  mxArray* array = new mxArray;
  array->classId = classId;
  array->sparse = false;
  array->complex = false;
  array->m = m;
  array->n = n;
  array->dimensions = 2;
  array->nzmax = 0;
  array->borrowedJc = nullptr;
  return array;
}

mxArray* testhostSparse(size_t m, size_t n, const std::vector<uint64_t>& jc, const std::vector<uint64_t>& ir,
                        const std::vector<double>& pr) {
  mxArray* array = newArray(mxDOUBLE_CLASS, m, n);
  array->sparse = true;
  array->jc = jc;
  array->ir = ir;
  array->real = pr;
  array->nzmax = pr.size();
  if (array->ir.empty()) array->ir.push_back(0), array->real.push_back(0.0);
  return array;
}

mxArray* testhostSparseOver(size_t m, size_t n, const uint64_t* jc) {
  mxArray* array = testhostSparse(m, n, {}, {}, {});
  array->borrowedJc = jc;
  return array;
}

mxArray* testhostFull(size_t m, size_t n, const std::vector<double>& values) {
  mxArray* array = newArray(mxDOUBLE_CLASS, m, n);
  array->real = values;
  array->real.resize(m * n);
  return array;
}

mxArray* testhostText(const std::string& text) {
  mxArray* array = newArray(mxCHAR_CLASS, 1, text.size());
  array->bytes.assign(text.begin(), text.end());
  return array;
}

mxArray* testhostLogical(size_t m, size_t n, const std::vector<unsigned char>& bytes) {
  mxArray* array = newArray(mxLOGICAL_CLASS, m, n);
  array->bytes = bytes;
  array->bytes.resize(m * n);
  return array;
}

mxArray* testhostSparseLogical(size_t m, size_t n, const std::vector<uint64_t>& jc, const std::vector<uint64_t>& ir,
                               const std::vector<unsigned char>& bytes) {
  mxArray* array = testhostSparse(m, n, jc, ir, std::vector<double>(bytes.size()));
  array->classId = mxLOGICAL_CLASS;
  array->bytes = bytes;
  if (array->bytes.empty()) array->bytes.push_back(0);
  return array;
}

mxArray* testhostOfClass(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t pages) {
  mxArray* array = newArray(classId, m, n * pages);
  if (pages != 1) array->dimensions = 3;
  n *= pages;
  array->sparse = sparse;
  array->complex = complex;
  if (sparse) {
    array->jc.assign(n + 1, 0);
    array->ir.assign(1, 0);
    array->real.assign(1, 0.0);
    array->bytes.assign(1, 0);
    array->nzmax = 1;
  } else {
    array->real.assign(m * n, 0.0);
    array->bytes.assign(m * n, 0);
  }
  return array;
}

void testhostDestroy(mxArray* array) { delete array; }

size_t testhostNzmax(const mxArray* array) { return array->nzmax; }

bool testhostGuardsIntact(const mxArray* array) {
  if (!array->sparse || array->real.size() < array->nzmax + kGuard) return true;
  for (size_t k = array->nzmax; k < array->nzmax + kGuard; ++k)
    if (array->ir[k] != kGuardIndex || memcmp(&array->real[k], &kGuardValue, sizeof(double)) != 0) return false;
  return true;
}

// The host operations of libmx, exported by name (a Windows DLL exports only what is marked).
extern "C" {

TESTHOST_API size_t mxGetM(const mxArray* array) { return array->m; }

TESTHOST_API size_t mxGetN(const mxArray* array) { return array->n; }

TESTHOST_API double* mxGetPr(const mxArray* array) {
  if (array->classId != mxDOUBLE_CLASS) return nullptr;
  return const_cast<double*>(array->real.data());
}

TESTHOST_API uint64_t* mxGetIr_730(const mxArray* array) {
  return array->sparse ? const_cast<uint64_t*>(array->ir.data()) : nullptr;
}

TESTHOST_API uint64_t* mxGetJc_730(const mxArray* array) {
  if (!array->sparse) return nullptr;
  return const_cast<uint64_t*>(array->borrowedJc ? array->borrowedJc : array->jc.data());
}

// Unlike MATLAB, the test host refuses to read a first element that is not there, so a test
// notices a plug-in that reads one.
TESTHOST_API double mxGetScalar(const mxArray* array) {
  const bool hasElement = array->sparse ? array->nzmax > 0 : array->m * array->n > 0;
  if (!hasElement || array->classId == mxCELL_CLASS || array->classId == mxSTRUCT_CLASS) {
    raiseError("testhost:mxGetScalar", "read of a first element that does not exist");
  }
  if (array->classId == mxDOUBLE_CLASS) return array->real[0];
  return array->bytes[0];
}

TESTHOST_API mxLogical* mxGetLogicals(const mxArray* array) {
  if (array->classId != mxLOGICAL_CLASS) return nullptr;
  return const_cast<mxLogical*>(array->bytes.data());
}

// Counts an allocation; whether it is the one a test chose to fail, and fails it as a host out of
// memory unless that host answers null.
static bool failsHere() {
  if (++allocations != failingAllocation) return false;
  if (!failWithNull) raiseError("MATLAB:nomem", "Out of memory.");
  return true;
}

// Like MATLAB, the test host ends the call when it cannot give an output the room asked for.
TESTHOST_API mxArray* mxCreateSparse_730(size_t m, size_t n, size_t nzmax, mxComplexity complexity) {
  if (failsHere()) return nullptr;
  if (nzmax > kLargestRoom || n > kLargestRoom) raiseError("MATLAB:nomem", "Out of memory.");
  mxArray* array = newArray(mxDOUBLE_CLASS, m, n);
  array->sparse = true;
  array->complex = complexity == mxCOMPLEX;
  array->nzmax = nzmax > 0 ? nzmax : 1;
  array->jc.assign(n + 1, 0);
  array->ir.assign(array->nzmax + kGuard, kGuardIndex);
  array->real.assign(array->nzmax + kGuard, kGuardValue);
  return array;
}

TESTHOST_API void mxDestroyArray(mxArray* array) { delete array; }

TESTHOST_API mxClassID mxGetClassID(const mxArray* array) { return array->classId; }

TESTHOST_API bool mxIsSparse(const mxArray* array) { return array->sparse; }

TESTHOST_API bool mxIsComplex(const mxArray* array) { return array->complex; }

TESTHOST_API size_t mxGetNumberOfElements(const mxArray* array) { return array->m * array->n; }

TESTHOST_API size_t mxGetNumberOfDimensions_730(const mxArray* array) { return array->dimensions; }

TESTHOST_API int mxGetString_730(const mxArray* array, char* buffer, size_t size) {
  if (size == 0) return 1;
  buffer[0] = '\0';
  if (array->classId != mxCHAR_CLASS || array->sparse) return 1;
  const size_t length = array->m * array->n;
  const size_t copied = length < size ? length : size - 1;
  memcpy(buffer, array->bytes.data(), copied);
  buffer[copied] = '\0';
  return copied < length;
}

// A new workspace block of `bytes`, or null beyond the largest workspace.
static void* newBlock(size_t bytes) {
  if (bytes > kLargestWorkspace - workspaceBytes) return nullptr;
  void* block = malloc(bytes > 0 ? bytes : 1);
  if (!block) return nullptr;
  workspace[block] = bytes;
  workspaceBytes += bytes;
  return block;
}

// Workspace: like Octave's, mxMalloc and mxCalloc end the call when they cannot give what is asked for.
TESTHOST_API void* mxMalloc(size_t bytes) {
  if (failsHere()) return nullptr;
  void* block = newBlock(bytes);
  if (!block) raiseError("MATLAB:nomem", "Out of memory.");
  return block;
}

TESTHOST_API void* mxCalloc(size_t count, size_t size) {
  if (size > 0 && count > kLargestWorkspace / size) raiseError("MATLAB:nomem", "Out of memory.");
  void* block = mxMalloc(count * size);
  if (block) memset(block, 0, count * size);
  return block;
}

TESTHOST_API void mxFree(void* block) {
  if (!block) return;
  const auto held = workspace.find(block);
  if (held == workspace.end()) raiseError("testhost:mxFree", "free of a block the host did not give");
  workspaceBytes -= held->second;
  workspace.erase(held);
  free(block);
}

// Like the host's, a grown block keeps its contents; the test host always moves it, so a module
// that keeps using the old block is caught. Like Octave's, it answers null, the block kept, when
// it cannot give the memory.
TESTHOST_API void* mxRealloc(void* block, size_t bytes) {
  if (!block) return mxMalloc(bytes);
  const auto held = workspace.find(block);
  if (held == workspace.end()) raiseError("testhost:mxRealloc", "realloc of a block the host did not give");
  if (failsHere()) return nullptr;
  void* moved = newBlock(bytes);
  if (!moved) return nullptr;
  memcpy(moved, block, held->second < bytes ? held->second : bytes);
  mxFree(block);
  return moved;
}

}  // extern "C"

size_t testhostFreeWorkspace() {
  const size_t blocks = workspace.size();
  for (const auto& held : workspace) free(held.first);
  workspace.clear();
  workspaceBytes = 0;
  return blocks;
}

void testhostFailAllocation(size_t which, bool answerNull) {
  failingAllocation = which;
  failWithNull = answerNull;
}

size_t testhostAllocations() { return allocations; }

bool testhostCall(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], HostError* error) {
  allocations = 0;
  try {
    entry(nlhs, plhs, nrhs, prhs);
    return true;
  } catch (const HostError& raised) {
    *error = raised;
    testhostFreeWorkspace();
    return false;
  }
}
