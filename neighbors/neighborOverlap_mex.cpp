// MATLAB gateway of S = neighborOverlap(G, threshold).
#include "neighbors/neighbor_gateway.h"
#include "neighbors/neighbor_similarity.h"

// Checks the call, finds the pairs above the threshold and returns them with exactly their room.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  serveNeighborCall("neighborOverlap", neighborOverlap, nlhs, plhs, nrhs, prhs);
}
