// MATLAB gateway of S = tessaly(C, d, threshold).
#include "frame/gateway.h"
#include "normalise/tessaly.h"

// Refuses, before the output exists, inputs the kernel could not read safely. Once the shape
// checks have passed, a real full double d is n-by-1 and so holds a degree for every row of C.
static void refuseUnreadable(const mxArray* const prhs[], const MatrixView& C) {
  failIf(!C.jc, "tessaly", "notsparse",
         "Input C must be a real sparse double matrix; convert it with sparse(double(C)).");
  failIf(!fitsIndexWidth(C.n), "tessaly", "toolarge",
         "C must have fewer than 2^31 rows and columns; normalise smaller blocks of it.");
  failIf(!fitsIndexWidth(storedEntries(C)), "tessaly", "toomany",
         "C stores 2^31 or more entries; normalise smaller blocks of it.");
  failIf(!isRealFullDouble(prhs[1]), "tessaly", "notfull",
         "Input d must be a real full double column vector; convert it with full(double(d)).");
  failIf(!holdsNumber(prhs[2]), "tessaly", "notnumber",
         "Input threshold must be a number; pass a full numeric scalar.");
}

// Checks the call, prints its parameters, sizes the output for every entry of C, and normalises.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  mexPrintf("nlhs = %d, nrhs = %d\n", nlhs, nrhs);
  failIf(nrhs != 3, "tessaly", "wrongrhs", "Wrong number of input arguments.");
  const MatrixView C = readSparse(prhs[0]);
  const double* d = readFullDouble(prhs[1]);
  const double threshold = readNumber(prhs[2]);
  mexPrintf("threshold = %f\n", threshold);
  const uint64_t m2 = mxGetM(prhs[1]), n2 = mxGetN(prhs[1]);
  mexPrintf("dimensions: m=%d, n=%d, m2=%d, n2=%d\n", low32(C.m), low32(C.n), low32(m2), low32(n2));
  failIf(C.m != m2, "tessaly", "matchdims", "Inner dimensions of matrices do not match.");
  failIf(C.n != C.m, "tessaly", "square", "Function requires input matrix 1 must be square.");
  failIf(n2 != 1, "tessaly", "zerodivide", "Function requires input matrix 2 must be a column vector.");
  refuseUnreadable(prhs, C);

  const SparseView S = createOutput(plhs, C.n, C.n, storedEntries(C), "tessaly");
  tessaly(C, d, threshold, S);
}
