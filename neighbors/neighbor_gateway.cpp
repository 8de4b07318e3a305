#include "neighbors/neighbor_gateway.h"

// Whether G is a sparse matrix the pass can walk: column starts from 0 that never decrease, and
// rows below n that ascend strictly within each column (its size and count fit 32 bits).
static bool wellFormed(const MatrixView& G) {
  if (G.jc[0] != 0) return false;
  for (uint64_t j = 0; j < G.n; ++j)
    if (G.jc[j + 1] < G.jc[j]) return false;
  for (uint64_t j = 0; j < G.n; ++j)
    for (uint64_t k = G.jc[j]; k < G.jc[j + 1]; ++k)
      if (G.ir[k] >= G.n || (k > G.jc[j] && G.ir[k] <= G.ir[k - 1])) return false;
  return true;
}

void refuseGraphOfWrongKind(const char* word, const mxArray* graph) {
  const mxClassID kind = mxGetClassID(graph);
  failIf(!mxIsSparse(graph) || (kind != mxDOUBLE_CLASS && kind != mxLOGICAL_CLASS), word, "notsparse",
         "Input G must be a sparse double or logical matrix; convert it with sparse(double(G)).");
  failIf(mxGetM(graph) != mxGetN(graph), word, "square", "Input G must be square: n-by-n for a graph of n nodes.");
  failIf(mxIsComplex(graph), word, "complex", "Input G must be real; pass spones(G) to keep its edges alone.");
  failIf(!fitsIndexWidth(mxGetN(graph)), word, "toolarge",
         "G must have fewer than 2^31 rows and columns; compare smaller parts of the graph.");
}

void refuseMalformedGraph(const char* word, const mxArray* graph) {
  const MatrixView G = readMatrix(graph);
  failIf(!fitsIndexWidth(G.jc[G.n]), word, "toomany", "G stores 2^31 or more entries; compare smaller parts of the graph.");
  failIf(!wellFormed(G), word, "malformed",
         "G is not a well-formed sparse matrix (a row index past its last row, rows not ascending within a "
         "column, or column starts that decrease); rebuild it with sparse(i, j, v, n, n).");
}

void returnNeighborPairs(NeighborPairs& found, mxArray* plhs[]) {
  storeNeighborPairs(found, createPairResult(plhs, found.request.pairs, found.overflowed, "toomanypairs",
                                             "More than 2147483647 pairs pass the threshold, more than a sparse "
                                             "result holds; raise the threshold or compare smaller parts of the graph.",
                                             (uint64_t)found.rowCount, (uint64_t)found.entries));
}

void serveNeighborCall(const char* word, NeighborKernel kernel, int nlhs, mxArray* plhs[], int nrhs,
                       const mxArray* prhs[]) {
  failIf(nrhs < 1 || nrhs > 2, word, "wrongrhs", "One or two inputs are needed: the graph G and, optionally, a threshold.");
  failIf(nlhs > 1, word, "wronglhs", "One output at most: the similarity matrix S.");
  refuseGraphOfWrongKind(word, prhs[0]);
  failIf(nrhs == 2 && !holdsNumber(prhs[1]), word, "notnumber",
         "Input threshold must be a number; pass a numeric scalar, or leave it out for 0.");
  refuseMalformedGraph(word, prhs[0]);
  NeighborPairs found = kernel(readMatrix(prhs[0]), nrhs == 2 ? readNumber(prhs[1]) : 0.0);
  returnNeighborPairs(found, plhs);
}
