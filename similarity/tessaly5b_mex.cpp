// MATLAB gateway of S = tessaly5b(nodeAtts, nodesToKeep, threshold).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5.h"

static const SimilarityModule kModule = {
    "tessaly5b", kLogicalColumns, false, 0.25,
    "Input threshold must be a number; pass a numeric scalar.",
    "notlogical",
    "Input nodeAtts must be a full logical matrix with one column per node; convert it with logical(full(X)).",
    "More pairs pass the threshold than a quarter of all pairs; raise the threshold, or call tessaly5 with a "
    "larger percentSparse."};

// Checks the call, prints its parameters, sizes the output for a quarter of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  SimilarityInputs in;
  const SparseView S = openSimilarityCall(kModule, nlhs, plhs, nrhs, prhs, in);
  const uint64_t needed = tessaly5b(in.nodeAtts, in.nodesToKeep, in.threshold, S);
  refuseOverflow(kModule, needed, S.nzmax);
}
