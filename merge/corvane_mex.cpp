// MATLAB gateway of S = corvane(A, B, w, end).
#include "frame/gateway.h"
#include "merge/corvane.h"

// Refuses, before the output exists, inputs the merge could not read safely.
static void refuseUnreadable(const mxArray* const prhs[], const MatrixView& A, const MatrixView& B) {
  failIf(!A.jc || !B.jc, "corvane", "notsparse",
         "Inputs A and B must be real sparse double matrices; convert them with sparse(double(X)).");
  failIf(!holdsNumber(prhs[2]) || !holdsNumber(prhs[3]), "corvane", "notnumber",
         "Inputs w and end must be numbers; pass a full numeric scalar for each.");
  failIf(!fitsIndexWidth(A.n), "corvane", "toolarge",
         "Matrices must have fewer than 2^31 rows and columns; merge smaller blocks.");
  failIf(storedEntries(A) + storedEntries(B) > kMaxEntries, "corvane", "toomany",
         "A and B together store 2^31 or more entries; merge smaller blocks of them.");
}

// Checks the call, prints its parameters, sizes the output for every entry of A and B, and merges.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  mexPrintf("corvane: nlhs = %d, nrhs = %d\n", nlhs, nrhs);
  failIf(nlhs != 1, "corvane", "wrongrhs", "Wrong number of output arguments.");
  failIf(nrhs != 4, "corvane", "wrongrhs", "Wrong number of input arguments.");
  const MatrixView A = readSparse(prhs[0]);
  const MatrixView B = readSparse(prhs[1]);
  const double w = readNumber(prhs[2]);
  const int32_t blockEnd = int32OrLowest(readNumber(prhs[3]));
  mexPrintf("corvane: w=%f, end=%d\n", w, blockEnd);
  mexPrintf("corvane dimensions: m=%d, n=%d, m2=%d, n2=%d\n", low32(A.m), low32(A.n), low32(B.m),
            low32(B.n));
  failIf(A.m != B.m || A.n != B.n, "tessaly", "matchdims", "Inner dimensions of matrices do not match.");
  failIf(A.n != A.m, "tessaly", "square", "Function requires input matrix 1 must be square.");

  const uint64_t jc1 = storedEntries(A), jc2 = storedEntries(B);
  const int32_t nnz = low32(jc1 + jc2);
  // The room is every entry of A and B: a fraction of 1, shown with its product on the lines below.
  const double percentSparse = 1.0;
  const double mul = percentSparse * (double)nnz;
  const uint64_t estimateNNZ = capacityFromFloat(mul);
  mexPrintf("corvane: nnz=%d, percent_sparse=%f, mul=%f\n", nnz, percentSparse, mul);
  mexPrintf("corvane: jc1[n]=%d, jc2[n]=%d, estimateNNZ=%d\n", low32(jc1), low32(jc2), low32(estimateNNZ));
  refuseUnreadable(prhs, A, B);

  const SparseView S = createOutput(plhs, A.n, A.n, estimateNNZ, "corvane");
  corvane(A, B, blockEnd, w, S);
}
