// MATLAB gateway of S = tessaly5b(nodeAtts, nodesToKeep, threshold).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5.h"

static const SimilarityErrors kErrors = SIMILARITY_ERRORS("tessaly5b", "notlogical");

// Checks the call, prints its parameters, sizes the output for a quarter of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  SimilarityInputs in;
  const SparseView S = openFixedFraction(kErrors, readLogicalColumns, 0.25, nlhs, plhs, nrhs, prhs, in);
  const uint64_t needed = tessaly5b((const uint8_t*)in.nodeAtts, in.numNodes, in.numAttrs, in.threshold,
                                    in.nodesToKeep, in.numNodesToKeep, S.nzmax, S.ir, S.jc, S.pr);
  refuseOverflow("tessaly5b", kErrors, needed, S.nzmax,
                 "More pairs pass the threshold than a quarter of all pairs; raise the threshold, or call "
                 "tessaly5 with a larger percentSparse.");
}
