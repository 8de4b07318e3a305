// MATLAB gateway of S = attributeJaccard(nodeAtts, nodesToKeep, threshold).
#include "attributes/attribute_jaccard.h"
#include "frame/gateway.h"
#include "frame/node_list.h"
#include "frame/workspace.h"

static const char kWord[] = "attributeJaccard";

// The attribute table, logical or double, full or sparse; refuses any other class, an array of
// pages and complex values.
static MatrixView readTable(const mxArray* nodeAtts) {
  const mxClassID kind = mxGetClassID(nodeAtts);
  failIf((kind != mxLOGICAL_CLASS && kind != mxDOUBLE_CLASS) || hasPages(nodeAtts), kWord, "badtable",
         "Input nodeAtts must be a logical or double matrix, full or sparse, with one column per node; convert "
         "it with double(X).");
  failIf(mxIsComplex(nodeAtts), kWord, "complex",
         "Input nodeAtts must be real; pass X ~= 0 to count an attribute as held wherever X is nonzero.");
  return readMatrix(nodeAtts);
}

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

// The `listed` nodes, 0-based, in workspace: the list's numbers truncated, or every node when
// there is no list.
static int32_t* listedNodes(const NodeList& list, uint64_t listed) {
  int32_t* nodes = workspaceOf<int32_t>(kWord, listed + 1);
  for (uint64_t k = 0; k < listed; ++k) nodes[k] = list.numbers ? (int32_t)list.numbers[k] - 1 : (int32_t)k;
  return nodes;
}

// The table's storage as the start line shows it.
static const char* storageName(const mxArray* nodeAtts) {
  const bool logical = mxGetClassID(nodeAtts) == mxLOGICAL_CLASS;
  if (mxIsSparse(nodeAtts)) return logical ? "sparse logical" : "sparse double";
  return logical ? "full logical" : "full double";
}

static const char kTooMany[] =
    "More than 2147483647 pairs pass the threshold, more than a sparse result holds; raise the threshold or list "
    "fewer nodes.";

// Checks the call before any work, finds the similar pairs and returns them in a result sized exactly.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  failIf(nrhs < 1 || nrhs > 3, kWord, "wrongrhs",
         "attributeJaccard takes one to three inputs: S = attributeJaccard(nodeAtts, nodesToKeep, threshold), "
         "the last two optional.");
  failIf(nlhs > 1, kWord, "wronglhs",
         "attributeJaccard returns one output: S = attributeJaccard(nodeAtts, nodesToKeep, threshold).");
  const MatrixView table = readTable(prhs[0]);
  const bool everyNode = listsEveryNode(nrhs, prhs);
  const NodeList list = {everyNode ? 0 : readList(prhs[1]), everyNode ? 0 : mxGetM(prhs[1])};
  const uint64_t listed = everyNode ? table.n : list.count;
  const double threshold = readThreshold(nrhs, prhs);
  refuseSizesAndList(kWord, table.n, table.m, list);
  failIf(threshold < 0.0 && listed * listed > kMaxEntries, kWord, "toomany", kTooMany);
  failIf(!jaccardWorkspaceFits(listed, table.m), kWord, "noworkspace",
         "The listed nodes' attributes need more workspace than this machine can address; list fewer nodes.");

  mexPrintf("start attributeJaccard: numAttrs=%d, numNodes=%d (%s), numNodesToKeep=%d, threshold=%f\n",
            low32(table.m), low32(table.n), storageName(prhs[0]), low32(listed), threshold);
  const int32_t* nodes = listedNodes(list, listed);
  AttributePairs found = findAttributePairs(table, nodes, listed, threshold, kMaxEntries,
                                            widestPathOf(kAttributeJaccardKernel));
  failIf(found.overflowed, kWord, "toomany", kTooMany);
  storeAttributePairs(found, createOutput(plhs, table.n, found.entries, kWord));
  mxFree((void*)nodes);
}
