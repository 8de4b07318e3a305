// The gateway steps the neighbourhood-similarity modules share: refusing a graph the pass could
// not walk, and writing out what the pass kept in a result with exactly its room.
#pragma once

#include "frame/gateway.h"
#include "neighbors/neighbor_pass.h"
#include "neighbors/neighbor_store.h"

// Refuses a G that is not a real sparse double or logical square matrix with fewer than 2^31
// rows: notsparse, square, complex, toolarge, under MATLAB:<word>:<reason>.
void refuseGraphOfWrongKind(const char* word, const mxArray* graph);

// Refuses a G of 2^31 or more stored entries (toomany) or one that is malformed.
void refuseMalformedGraph(const char* word, const mxArray* graph);

// Ends the call in toomanypairs when the pass found more than a result holds; else creates the
// n-by-columnCount result with exactly the room of what it found, writes it and frees the pass.
void returnNeighborPairs(NeighborPairs& found, mxArray* plhs[]);

// A module's kernel: the pairs of G above the threshold.
typedef NeighborPairs (*NeighborKernel)(const MatrixView& G, double threshold);

// Serves S = <word>(G, threshold) with the module's kernel; errors are MATLAB:<word>:<reason>.
void serveNeighborCall(const char* word, NeighborKernel kernel, int nlhs, mxArray* plhs[], int nrhs,
                       const mxArray* prhs[]);
