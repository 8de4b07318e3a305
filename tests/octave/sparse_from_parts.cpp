// S = sparse_from_parts(m, n, jc, ir, pr): a sparse double matrix built verbatim from its
// column starts, rows and values, stored zeros included, for feeding exact inputs to plug-ins.
#include <stdint.h>

#include "mex.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 5) mexErrMsgIdAndTxt("sparse_from_parts:usage", "sparse_from_parts(m, n, jc, ir, pr)");
  const mwSize m = (mwSize)mxGetScalar(prhs[0]), n = (mwSize)mxGetScalar(prhs[1]);
  const mwSize stored = (mwSize)mxGetNumberOfElements(prhs[4]);
  if ((mwSize)mxGetNumberOfElements(prhs[2]) != n + 1 || (mwSize)mxGetNumberOfElements(prhs[3]) != stored)
    mexErrMsgIdAndTxt("sparse_from_parts:usage", "jc needs n+1 entries and ir as many as pr");
  plhs[0] = mxCreateSparse(m, n, stored, mxREAL);
  const double *jc = mxGetPr(prhs[2]), *ir = mxGetPr(prhs[3]), *pr = mxGetPr(prhs[4]);
  for (mwSize k = 0; k <= n; ++k) mxGetJc(plhs[0])[k] = (mwIndex)jc[k];
  for (mwSize k = 0; k < stored; ++k) {
    mxGetIr(plhs[0])[k] = (mwIndex)ir[k];
    mxGetPr(plhs[0])[k] = pr[k];
  }
}
