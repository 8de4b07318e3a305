// MATLAB gateway of S = attributeJaccard(nodeAtts, nodesToKeep, threshold).
#include "attributes/attribute_gateway.h"

static const char kWord[] = "attributeJaccard";

// Whether nodesToKeep is left out or given as [], a 0-by-0 double: every node is listed.
static bool listsEveryNode(int nrhs, const mxArray* prhs[]) {
  if (nrhs < 2) return true;
  const mxArray* list = prhs[1];
  return isRealFullDouble(list) && !hasPages(list) && mxGetM(list) == 0 && mxGetN(list) == 0;
}

// The node numbers of a list given as a column vector; refuses any other list.
static const double* readList(const mxArray* list) {
  failIf(!isRealFullDouble(list) || mxGetN(list) != 1 || hasPages(list), kWord, "notlist",
         "Input nodesToKeep must be a real full double column vector of node numbers, or [] for every node; "
         "pass double(nodesToKeep(:)).");
  return mxGetPr(list);
}

// The threshold, 0 when left out; refuses anything but one real number.
static double readThreshold(int nrhs, const mxArray* prhs[]) {
  if (nrhs < 3) return 0.0;
  const mxArray* threshold = prhs[2];
  failIf(!holdsNumber(threshold) || mxIsComplex(threshold) || mxGetNumberOfElements(threshold) != 1, kWord,
         "notnumber", "Input threshold must be one real number; pass a scalar such as 0.5.");
  return mxGetScalar(threshold);
}

// Checks the call before any work, finds the similar pairs and returns them in a result sized exactly.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  failIf(nrhs < 1 || nrhs > 3, kWord, "wrongrhs",
         "attributeJaccard takes one to three inputs: S = attributeJaccard(nodeAtts, nodesToKeep, threshold), "
         "the last two optional.");
  failIf(nlhs > 1, kWord, "wronglhs",
         "attributeJaccard returns one output: S = attributeJaccard(nodeAtts, nodesToKeep, threshold).");
  const MatrixView table = readAttributeTable(kWord, prhs[0]);
  const bool everyNode = listsEveryNode(nrhs, prhs);
  const NodeList list = {everyNode ? 0 : readList(prhs[1]), everyNode ? 0 : mxGetM(prhs[1])};
  const uint64_t listed = everyNode ? table.n : list.count;
  const double threshold = readThreshold(nrhs, prhs);
  refuseSizesAndList(kWord, table.n, table.m, list);
  failIf(threshold < 0.0 && listed * listed > kMaxEntries, kWord, "toomany",
         "More than 2147483647 pairs pass the threshold, more than a sparse result holds; raise the threshold or "
         "list fewer nodes.");
  failIf(!attributeWorkspaceFits(listed, table.m), kWord, "noworkspace",
         "The listed nodes' attributes need more workspace than this machine can address; list fewer nodes.");

  mexPrintf("start attributeJaccard: numAttrs=%d, numNodes=%d (%s), numNodesToKeep=%d, threshold=%f\n",
            low32(table.m), low32(table.n), storageName(prhs[0]), low32(listed), threshold);
  const int32_t* nodes = listedNodes(kWord, list, listed);
  const AttributeRequest request =
      attributeJaccardRequest(threshold, table.n, kMaxEntries, widestPathOf(kAttributePairsKernel));
  AttributePairs found = findAttributePairs(request, table, nodes, listed);
  returnAttributePairs(found, plhs);
  mxFree((void*)nodes);
}
