// MATLAB gateway of S = tessaly5a(nodeAtts, nodesToKeep, threshold).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5a.h"

static const SimilarityModule kModule = {
    "tessaly5a", kNumericRows, false, 0.33,
    "Input threshold must be a number; pass a numeric scalar.",
    "notdouble",
    "Input nodeAtts must be a real full double matrix with one row per node; convert it with full(double(X)).",
    "More pairs pass the threshold than 0.33 of all pairs; raise the threshold."};

// Checks the call, prints its parameters, sizes the output for 0.33 of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  SimilarityInputs in;
  const SparseView S = openSimilarityCall(kModule, nlhs, plhs, nrhs, prhs, in);
  const uint64_t needed = tessaly5a(in.nodeAtts, in.nodesToKeep, in.threshold, S);
  refuseOverflow(kModule, needed, S.nzmax);
}
