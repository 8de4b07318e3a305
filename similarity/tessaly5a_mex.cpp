// MATLAB gateway of S = tessaly5a(nodeAtts, nodesToKeep, threshold).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5a.h"

static const SimilarityErrors kErrors = SIMILARITY_ERRORS("tessaly5a", "notdouble");

// Checks the call, prints its parameters, sizes the output for 0.33 of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  SimilarityInputs in;
  const SparseView S = openFixedFraction(kErrors, readNumericRows, 0.33, nlhs, plhs, nrhs, prhs, in);
  const uint64_t needed = tessaly5a((const double*)in.nodeAtts, in.numNodes, in.numAttrs, in.threshold,
                                    in.nodesToKeep, in.numNodesToKeep, S.nzmax, S.ir, S.jc, S.pr);
  refuseOverflow("tessaly5a", kErrors, needed, S.nzmax,
                 "More pairs pass the threshold than 0.33 of all pairs; raise the threshold.");
}
