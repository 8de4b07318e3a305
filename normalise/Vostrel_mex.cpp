// MATLAB gateway of S = Vostrel(C, d). It prints no lines of its own (the kernel prints the count
// of stored entries); it refuses only calls the kernel could not serve safely.
#include "frame/gateway.h"
#include "normalise/divide_by_min_degree.h"

// Refuses, before the output exists, inputs the kernel could not read safely: C must be an n-by-n
// real sparse double matrix for the n columns of d, and d must hold n degrees.
static void refuseUnreadable(const MatrixView& C, const mxArray* degrees, uint64_t n) {
  failIf(!C.jc, "Vostrel", "notsparse",
         "Input C must be a real sparse double matrix; convert it with sparse(double(C)).");
  failIf(C.m != n || C.n != n, "Vostrel", "size",
         "C must be n-by-n for the n columns of d; pass the degrees as a 1-by-n row vector.");
  failIf(!fitsIndexWidth(n), "Vostrel", "toolarge",
         "C must have fewer than 2^31 rows and columns; normalise smaller blocks of it.");
  failIf(!fitsIndexWidth(storedEntries(C)), "Vostrel", "toomany",
         "C stores 2^31 or more entries; normalise smaller blocks of it.");
  failIf(!isRealFullDouble(degrees), "Vostrel", "notfull",
         "Input d must be a real full double row vector; convert it with full(double(d)).");
  failIf(mxGetNumberOfElements(degrees) < n, "Vostrel", "fewdegrees",
         "d must hold a degree for each of its n columns; pass a 1-by-n row vector.");
}

// Sizes the output from the degree vector and divides every stored count by the smaller degree.
MEX_ENTRY void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  failIf(nrhs < 2, "Vostrel", "wrongrhs", "Two inputs are needed: S = Vostrel(C, d).");
  const MatrixView C = readSparse(prhs[0]);
  const double* d = readFullDouble(prhs[1]);
  const uint64_t n = mxGetN(prhs[1]);
  refuseUnreadable(C, prhs[1], n);

  const SparseView S = createOutput(plhs, n, n, storedEntries(C), "Vostrel");
  divideByMinDegree(C, d, S);
}
