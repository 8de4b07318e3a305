// MATLAB gateway of S = tessaly5(nodeAtts, nodesToKeep, threshold, percentSparse).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5.h"

static const SimilarityErrors kErrors = SIMILARITY_ERRORS("tessaly5", "notlogical");

// Checks the call, prints its parameters, sizes the output for percentSparse of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  checkSimilarityCounts(nlhs, nrhs, 4);
  const SimilarityInputs in = readLogicalColumns(prhs);
  const double percentSparse = readNumber(prhs[3]);
  const double capacity = pairsFraction(in.numNodesToKeep, percentSparse);
  const uint64_t estNNZ = capacityFromFloat(capacity);
  printDimensions(in);
  mexPrintf("params: threshold = %f, percentSparse = %f, numNodesToKeep= %d, estNNZ = %d\n", in.threshold,
            percentSparse, low32(in.numNodesToKeep), low32(estNNZ));
  refuseBrokenCall(kErrors, prhs, nrhs, in, capacity);

  const SparseView S = createOutput(plhs, in.numNodes, estNNZ);
  const uint64_t needed = tessaly5((const uint8_t*)in.nodeAtts, in.numNodes, in.numAttrs, in.threshold,
                                   in.nodesToKeep, in.numNodesToKeep, S.nzmax, S.ir, S.jc, S.pr);
  refuseOverflow("tessaly5", kErrors, needed, S.nzmax,
                 "More pairs pass the threshold than the result has room for; raise percentSparse or the threshold.");
}
