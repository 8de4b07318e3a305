// MATLAB gateway of S = tessaly5(nodeAtts, nodesToKeep, threshold, percentSparse).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5.h"

static const SimilarityModule kModule = {
    "tessaly5", kLogicalColumns, true, 0.0,
    "Inputs threshold and percentSparse must be numbers; pass a numeric scalar for each.",
    "notlogical",
    "Input nodeAtts must be a full logical matrix with one column per node; convert it with logical(full(X)).",
    "More pairs pass the threshold than the result has room for; raise percentSparse or the threshold."};

// Checks the call, prints its parameters, sizes the output for percentSparse of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  SimilarityInputs in;
  const SparseView S = openSimilarityCall(kModule, nlhs, plhs, nrhs, prhs, in);
  const uint64_t needed = tessaly5(in.nodeAtts, in.nodesToKeep, in.threshold, S);
  refuseOverflow(kModule, needed, S.nzmax);
}
