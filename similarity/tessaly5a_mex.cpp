// MATLAB gateway of S = tessaly5a(nodeAtts, nodesToKeep, threshold).
#include "similarity/similarity_gateway.h"
#include "similarity/tessaly5a.h"

static const SimilarityErrors kErrors = SIMILARITY_ERRORS("tessaly5a", "notdouble");

// Checks the call, prints its parameters, sizes the output for 0.33 of all pairs and runs the pass.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  checkSimilarityCounts(nlhs, nrhs, 3);
  const SimilarityInputs in = readNumericRows(prhs);
  const double capacity = pairsFraction(in.numNodesToKeep, 0.33);
  const uint64_t estNNZ = capacityFromFloat(capacity);
  printDimensions(in);
  mexPrintf("params: threshold = %f, numNodesToKeep= %d, estNNZ = %d\n", in.threshold, low32(in.numNodesToKeep),
            low32(estNNZ));
  refuseBrokenCall(kErrors, prhs, nrhs, in, capacity);

  const SparseView S = createOutput(plhs, in.numNodes, roomForDiagonal(estNNZ, in.numNodesToKeep));
  const uint64_t needed = tessaly5a((const double*)in.nodeAtts, in.numNodes, in.numAttrs, in.threshold,
                                    in.nodesToKeep, in.numNodesToKeep, S.nzmax, S.ir, S.jc, S.pr);
  refuseOverflow("tessaly5a", kErrors, needed, S.nzmax,
                 "More pairs pass the threshold than 0.33 of all pairs; raise the threshold.");
}
