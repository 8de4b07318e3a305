// The host operations the modules use, under the names of MATLAB's large-array interface.
//
// Three kinds of build include this header:
//   HOST_OCTAVE  - GNU Octave's own mex.h; its large-index operations carry no _730 suffix.
//   HOST_MATLAB  - MATLAB's mex.h, where the _730 names are the real ones.
//   neither      - our own declarations of MATLAB's binary interface, used for the plain-array
//                  test host and for the plug-ins we ship, built without MATLAB's headers.
// Only compiler-provided headers are included in the last case, so a plug-in needs no C library.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "frame/portable.h"

#if defined(HOST_OCTAVE) || defined(HOST_MATLAB)

#include "mex.h"

#if defined(HOST_OCTAVE)
#define mxGetIr_730 mxGetIr
#define mxGetJc_730 mxGetJc
#define mxCreateSparse_730 mxCreateSparse
#define mxCreateDoubleMatrix_730 mxCreateDoubleMatrix
#define mxGetNumberOfDimensions_730 mxGetNumberOfDimensions
#define mxGetString_730 mxGetString
#endif

#else

#if defined(__cplusplus)
extern "C" {
#endif

typedef struct mxArray_tag mxArray;
typedef unsigned char mxLogical;

typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS,
  mxSTRUCT_CLASS,
  mxLOGICAL_CLASS,
  mxCHAR_CLASS,
  mxVOID_CLASS,
  mxDOUBLE_CLASS,
  mxSINGLE_CLASS,
  mxINT8_CLASS,
  mxUINT8_CLASS,
  mxINT16_CLASS,
  mxUINT16_CLASS,
  mxINT32_CLASS,
  mxUINT32_CLASS,
  mxINT64_CLASS,
  mxUINT64_CLASS,
  mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

// The ten operations every module relies on.
size_t mxGetM(const mxArray* array);
size_t mxGetN(const mxArray* array);
double* mxGetPr(const mxArray* array);
uint64_t* mxGetIr_730(const mxArray* array);
uint64_t* mxGetJc_730(const mxArray* array);
double mxGetScalar(const mxArray* array);
mxLogical* mxGetLogicals(const mxArray* array);
mxArray* mxCreateSparse_730(size_t m, size_t n, size_t nzmax, mxComplexity complexity);
// A new m-by-n full double array of zeros: the output of a module that returns one value a row.
mxArray* mxCreateDoubleMatrix_730(size_t m, size_t n, mxComplexity complexity);
int mexPrintf(const char* format, ...);
void mexErrMsgIdAndTxt(const char* identifier, const char* message, ...);

// Queries the gateways use to refuse inputs they cannot read safely.
mxClassID mxGetClassID(const mxArray* array);
bool mxIsSparse(const mxArray* array);
bool mxIsComplex(const mxArray* array);
size_t mxGetNumberOfElements(const mxArray* array);
size_t mxGetNumberOfDimensions_730(const mxArray* array);
// Copies a char array's text into `buffer` (`size` bytes), ending it with a 0; returns 0, or 1 when
// the array is not char or its text does not fit.
int mxGetString_730(const mxArray* array, char* buffer, size_t size);

// Workspace from the host's allocator, for the modules that need one. A host may end the call when
// it cannot give the memory asked for, or answer null (frame/workspace.h checks every answer); it
// frees what is left when a call ends in an error.
void* mxMalloc(size_t bytes);
void* mxCalloc(size_t count, size_t size);
void* mxRealloc(void* block, size_t bytes);
void mxFree(void* block);

// Runs a command of the host's language: how a long call makes its printed lines show at once.
int mexEvalString(const char* command);

// Calls a function of the host's language with `nrhs` inputs for `nlhs` outputs, placed in plhs;
// returns null, or the error it raised as an array (the call goes on). How a call asks the host
// how many threads it may use. What it returns, outputs and error alike, is freed by mxDestroyArray.
mxArray* mexCallMATLABWithTrap(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name);
void mxDestroyArray(mxArray* array);

#if defined(__cplusplus)
}
#endif

#endif
