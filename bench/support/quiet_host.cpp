// A host print that shows nothing, so benchmarks time the kernels alone, and workspace straight
// from the C library. A benchmark's calls never fail: a host error ends the program.
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
