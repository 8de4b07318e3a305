// The gateway steps neighborJaccard and neighborOverlap share: checking the counts, reading and
// refusing the graph and the threshold, running the module's kernel and writing out what it kept.
#pragma once

#include "frame/gateway.h"
#include "neighbors/neighbor_pass.h"

// A module's kernel: the pairs of G above the threshold.
typedef NeighborPairs (*NeighborKernel)(const MatrixView& G, double threshold);

// Serves S = <word>(G, threshold) with the module's kernel; errors are MATLAB:<word>:<reason>.
void serveNeighborCall(const char* word, NeighborKernel kernel, int nlhs, mxArray* plhs[], int nrhs,
                       const mxArray* prhs[]);
