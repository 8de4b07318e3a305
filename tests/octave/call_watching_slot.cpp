// [...] = call_watching_slot(path, inputs...): calls the mexFunction of the plug-in at PATH with this
// call's outputs and the remaining inputs, as Octave would. When the plug-in raises an error, the
// global variable slot_filled_at_error is set to whether output slot 0 held an array, then the error
// goes on as raised.
#include <dlfcn.h>

#include "mex.h"

typedef void (*MexEntry)(int, mxArray*[], int, const mxArray*[]);

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs < 1 || !mxIsChar(prhs[0])) mexErrMsgIdAndTxt("call_watching_slot:usage", "call_watching_slot(path, ...)");
  char* path = mxArrayToString(prhs[0]);
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  mxFree(path);
  MexEntry entry = library ? (MexEntry)dlsym(library, "mexFunction") : nullptr;
  if (!entry) mexErrMsgIdAndTxt("call_watching_slot:load", "cannot load the plug-in");
  // The host always gives room for one output, even when none is asked for.
  try {
    entry(nlhs, plhs, nrhs - 1, prhs + 1);
  } catch (...) {
    mexPutVariable("global", "slot_filled_at_error", mxCreateLogicalScalar(plhs[0] != nullptr));
    throw;
  }
}
