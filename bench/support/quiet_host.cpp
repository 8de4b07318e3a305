// A host print that shows nothing, so benchmarks time the kernels alone, and workspace straight
// from the C library. A benchmark's calls never fail: a host error ends the program. The host has
// no functions to call: a kernel takes its count of threads from OMP_NUM_THREADS or the processors
// it may run on.
#include <stdio.h>
#include <stdlib.h>

#include "frame/host.h"

extern "C" int mexPrintf(const char*, ...) { return 0; }
extern "C" int mexEvalString(const char*) { return 0; }
extern "C" void mexErrMsgIdAndTxt(const char* identifier, const char* message, ...) {
  fprintf(stderr, "%s: %s\n", identifier, message);
  abort();
}

extern "C" void* mxMalloc(size_t bytes) { return malloc(bytes); }
extern "C" void* mxCalloc(size_t count, size_t size) { return calloc(count, size); }
extern "C" void* mxRealloc(void* block, size_t bytes) { return realloc(block, bytes); }
extern "C" void mxFree(void* block) { free(block); }

// Every function of the host's language is unknown here: the answer is an error.
static char unknownFunction;
extern "C" mxArray* mexCallMATLABWithTrap(int, mxArray*[], int, mxArray*[], const char*) {
  return (mxArray*)&unknownFunction;
}
extern "C" void mxDestroyArray(mxArray*) {}

// What a kernel would read of an answer, were there one.
extern "C" mxClassID mxGetClassID(const mxArray*) { return mxUNKNOWN_CLASS; }
extern "C" bool mxIsSparse(const mxArray*) { return false; }
extern "C" bool mxIsComplex(const mxArray*) { return false; }
extern "C" size_t mxGetNumberOfElements(const mxArray*) { return 0; }
extern "C" double mxGetScalar(const mxArray*) { return 0.0; }
