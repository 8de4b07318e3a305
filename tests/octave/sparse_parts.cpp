// [jc, ir, pr, room] = sparse_parts(S): the column starts, rows, values and room of a sparse
// double matrix exactly as stored, stored zeros included, as row vectors of doubles.
#include "mex.h"

static mxArray* rowOf(mwSize count) { return mxCreateDoubleMatrix(1, count, mxREAL); }

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1 || !mxIsSparse(prhs[0])) mexErrMsgIdAndTxt("sparse_parts:usage", "sparse_parts(S) of a sparse S");
  const mwSize n = (mwSize)mxGetN(prhs[0]);
  const mwIndex* jc = mxGetJc(prhs[0]);
  const mwSize stored = (mwSize)jc[n];
  plhs[0] = rowOf(n + 1);
  plhs[1] = rowOf(stored);
  plhs[2] = rowOf(stored);
  for (mwSize k = 0; k <= n; ++k) mxGetPr(plhs[0])[k] = (double)jc[k];
  for (mwSize k = 0; k < stored; ++k) {
    mxGetPr(plhs[1])[k] = (double)mxGetIr(prhs[0])[k];
    mxGetPr(plhs[2])[k] = mxGetPr(prhs[0])[k];
  }
  if (nlhs > 3) plhs[3] = mxCreateDoubleScalar((double)mxGetNzmax(prhs[0]));
}
