// libmx and libmex of the fuzz targets' strict host.
#include "fuzz/host/fuzz_host.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <unordered_map>
#include <unordered_set>

namespace {

// A host error on its way back to callPlugin.
struct HostError {
  std::string identifier, message;
};

// What the host holds for the call under way.
struct CallState {
  HostLimits limits = {SIZE_MAX, SIZE_MAX, SIZE_MAX, 0, false};
  uint32_t allocations = 0;
  std::unordered_map<void*, size_t> workspace;
  size_t workspaceBytes = 0;
  std::unordered_set<mxArray*> created;
  bool keepPrinted = false;
  std::string printed;
};

CallState state;

// Raises a host error: the call ends here.
[[noreturn]] void raise(const char* identifier, const char* message) { throw HostError{identifier, message}; }

// Counts an allocation; whether it is the one the fuzzer chose to fail, and fails it as a host out
// of memory unless the fuzzer chose a host that answers null.
bool failsHere() {
  if (++state.allocations != state.limits.failingAllocation) return false;
  if (!state.limits.failWithNull) raise("MATLAB:nomem", "Out of memory.");
  return true;
}

// A block of exactly `bytes` bytes, zeroed; never null.
void* exactBlock(size_t bytes) {
  void* block = malloc(bytes);
  if (!block) abort();
  memset(block, 0, bytes);
  return block;
}

// The product of two sizes, or SIZE_MAX when it does not fit.
size_t product(size_t a, size_t b) { return b != 0 && a > SIZE_MAX / b ? SIZE_MAX : a * b; }

}  // namespace

size_t elementBytes(mxClassID classId) {
  switch (classId) {
    case mxDOUBLE_CLASS: case mxINT64_CLASS: case mxUINT64_CLASS: return 8;
    case mxSINGLE_CLASS: case mxINT32_CLASS: case mxUINT32_CLASS: return 4;
    case mxCHAR_CLASS: case mxINT16_CLASS: case mxUINT16_CLASS: return 2;
    case mxCELL_CLASS: case mxSTRUCT_CLASS: return sizeof(void*);
    default: return 1;
  }
}

mxArray* newHostArray(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t nzmax) {
  mxArray* array = (mxArray*)exactBlock(sizeof(mxArray));
  array->classId = classId;
  array->sparse = sparse;
  array->complex = complex;
  array->m = m;
  array->n = n;
  array->dimensions = 2;
  array->nzmax = sparse ? nzmax : 0;
  array->elements = sparse ? nzmax : product(m, n);
  const size_t bytes = product(array->elements, elementBytes(classId));
  array->real = exactBlock(bytes);
  array->imag = complex ? exactBlock(bytes) : nullptr;
  array->ir = sparse ? (uint64_t*)exactBlock(product(nzmax, sizeof(uint64_t))) : nullptr;
  array->jc = sparse ? (uint64_t*)exactBlock(product(n + 1, sizeof(uint64_t))) : nullptr;
  return array;
}

void destroyHostArray(mxArray* array) {
  if (!array) return;
  free(array->real);
  free(array->imag);
  free(array->ir);
  free(array->jc);
  free(array);
}

extern "C" {

size_t mxGetM(const mxArray* array) { return array->m; }

size_t mxGetN(const mxArray* array) { return array->n; }

// The real data of any numeric, logical or char array, as the separate-complex interface gives it.
double* mxGetPr(const mxArray* array) {
  if (array->classId == mxCELL_CLASS || array->classId == mxSTRUCT_CLASS) return nullptr;
  return (double*)array->real;
}

uint64_t* mxGetIr_730(const mxArray* array) { return array->ir; }

uint64_t* mxGetJc_730(const mxArray* array) { return array->jc; }

// The first real element as a double. A read of an element that does not exist is a fault of
// the plug-in, not a host error.
double mxGetScalar(const mxArray* array) {
  const bool hasElement = array->sparse ? array->jc[array->n] > 0 : array->elements > 0;
  if (!hasElement || array->classId == mxCELL_CLASS || array->classId == mxSTRUCT_CLASS) {
    fprintf(stderr, "mxGetScalar of an array without a first element\n");
    abort();
  }
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
    default: abort();
  }
}

mxLogical* mxGetLogicals(const mxArray* array) {
  return array->classId == mxLOGICAL_CLASS ? (mxLogical*)array->real : nullptr;
}

mxArray* mxCreateSparse_730(size_t m, size_t n, size_t nzmax, mxComplexity complexity) {
  if (failsHere()) return nullptr;
  if (nzmax > state.limits.largestRoom || n > state.limits.largestColumns) raise("MATLAB:nomem", "Out of memory.");
  mxArray* array = newHostArray(mxDOUBLE_CLASS, m, n, true, complexity == mxCOMPLEX, nzmax);
  // Rows and values the plug-in does not write read as a row past every matrix and a NaN.
  memset(array->ir, 0xff, nzmax * sizeof(uint64_t));
  memset(array->real, 0xff, nzmax * sizeof(double));
  state.created.insert(array);
  return array;
}

mxClassID mxGetClassID(const mxArray* array) { return array->classId; }

bool mxIsSparse(const mxArray* array) { return array->sparse; }

bool mxIsComplex(const mxArray* array) { return array->complex; }

size_t mxGetNumberOfElements(const mxArray* array) { return product(array->m, array->n); }

size_t mxGetNumberOfDimensions_730(const mxArray* array) { return array->dimensions; }

// The char array's UTF-16 text as bytes, each of its units cut to its low byte.
int mxGetString_730(const mxArray* array, char* buffer, size_t size) {
  if (size == 0) return 1;
  buffer[0] = '\0';
  if (array->classId != mxCHAR_CLASS || array->sparse) return 1;
  const uint16_t* units = (const uint16_t*)array->real;
  const size_t copied = array->elements < size ? array->elements : size - 1;
  for (size_t k = 0; k < copied; ++k) buffer[k] = (char)units[k];
  buffer[copied] = '\0';
  return copied < array->elements;
}

// A new workspace block of exactly `bytes`, or null beyond the largest workspace.
static void* newBlock(size_t bytes) {
  if (bytes > state.limits.largestWorkspace - state.workspaceBytes) return nullptr;
  void* block = malloc(bytes);
  if (!block) abort();
  // Workspace that is read before it is written reads as a pattern, not as zeros.
  memset(block, 0xa5, bytes);
  state.workspace[block] = bytes;
  state.workspaceBytes += bytes;
  return block;
}

void* mxMalloc(size_t bytes) {
  if (failsHere()) return nullptr;
  void* block = newBlock(bytes);
  if (!block) raise("MATLAB:nomem", "Out of memory.");
  return block;
}

void* mxCalloc(size_t count, size_t size) {
  if (size > 0 && count > SIZE_MAX / size) raise("MATLAB:nomem", "Out of memory.");
  void* block = mxMalloc(count * size);
  if (block) memset(block, 0, count * size);
  return block;
}

void mxFree(void* block) {
  if (!block) return;
  const auto held = state.workspace.find(block);
  if (held == state.workspace.end()) {
    fprintf(stderr, "mxFree of a block the host did not give\n");
    abort();
  }
  state.workspaceBytes -= held->second;
  state.workspace.erase(held);
  free(block);
}

// A grown or shrunk block always moves, so a plug-in that keeps using the old one is caught.
void* mxRealloc(void* block, size_t bytes) {
  if (!block) return mxMalloc(bytes);
  const auto held = state.workspace.find(block);
  if (held == state.workspace.end()) {
    fprintf(stderr, "mxRealloc of a block the host did not give\n");
    abort();
  }
  const size_t kept = held->second < bytes ? held->second : bytes;
  if (failsHere()) return nullptr;
  void* moved = newBlock(bytes);
  if (!moved) return nullptr;
  memcpy(moved, block, kept);
  mxFree(block);
  return moved;
}

int mexPrintf(const char* format, ...) {
  char line[1024];
  va_list values;
  va_start(values, format);
  const int length = vsnprintf(line, sizeof line, format, values);
  va_end(values);
  if (state.keepPrinted) state.printed += line;
  return length;
}

int mexEvalString(const char*) { return 0; }

void mexErrMsgIdAndTxt(const char* identifier, const char* message, ...) { raise(identifier, message); }

}  // extern "C"

// Frees the workspace left and every created array not in plhs[0..slots-1].
void releaseCallLeftovers(mxArray* const plhs[], int slots) {
  for (const auto& held : state.workspace) free(held.first);
  state.workspace.clear();
  state.workspaceBytes = 0;
  for (mxArray* array : state.created) {
    bool placed = false;
    for (int k = 0; k < slots; ++k) placed |= plhs[k] == array;
    if (!placed) destroyHostArray(array);
  }
  state.created.clear();
}

CallOutcome callPlugin(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                       const HostLimits& limits) {
  state.limits = limits;
  state.allocations = 0;
  state.created.clear();
  const int slots = nlhs > 1 ? nlhs : 1;
  try {
    entry(nlhs, plhs, nrhs, prhs);
  } catch (const HostError& error) {
    // The host destroys what the call created, placed in a slot or not.
    for (int k = 0; k < slots; ++k) plhs[k] = nullptr;
    releaseCallLeftovers(plhs, slots);
    state.limits = HostLimits{SIZE_MAX, SIZE_MAX, SIZE_MAX, 0, false};
    return CallOutcome{false, error.identifier, error.message};
  }
  state.limits = HostLimits{SIZE_MAX, SIZE_MAX, SIZE_MAX, 0, false};
  return CallOutcome{true, "", ""};
}

size_t workspaceLeft() { return state.workspace.size(); }

size_t strayArrays(mxArray* const plhs[], int slots) {
  size_t stray = 0;
  for (mxArray* array : state.created) {
    bool placed = false;
    for (int k = 0; k < slots; ++k) placed |= plhs[k] == array;
    stray += !placed;
  }
  return stray;
}

void keepPrinted(bool keep) { state.keepPrinted = keep; }

std::string takePrinted() {
  std::string text;
  text.swap(state.printed);
  return text;
}
