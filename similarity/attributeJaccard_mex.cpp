// MATLAB gateway of S = attributeJaccard(nodeAtts, nodesToKeep, threshold).
#include "frame/cpu_dispatch.h"
#include "frame/gateway.h"
#include "frame/workspace.h"
#include "similarity/attribute_jaccard.h"
#include "similarity/similarity_gateway.h"

static const char kWord[] = "attributeJaccard";

// The attribute table, logical or double, full or sparse; refuses any other class and complex values.
static AttributeTable readTable(const mxArray* nodeAtts) {
  const mxClassID kind = mxGetClassID(nodeAtts);
  failUnder((kind != mxLOGICAL_CLASS && kind != mxDOUBLE_CLASS) || mxGetNumberOfDimensions_730(nodeAtts) > 2, kWord,
            "badtable",
            "Input nodeAtts must be a logical or double matrix, full or sparse, with one column per node; convert "
            "it with double(X).");
  failUnder(mxIsComplex(nodeAtts), kWord, "complex",
            "Input nodeAtts must be real; pass X ~= 0 to count an attribute as held wherever X is nonzero.");
  const bool logical = kind == mxLOGICAL_CLASS, sparse = mxIsSparse(nodeAtts);
  AttributeTable table;
  table.storage = sparse ? (logical ? kSparseLogical : kSparseDouble) : (logical ? kFullLogical : kFullDouble);
  table.numAttrs = mxGetM(nodeAtts);
  table.numNodes = mxGetN(nodeAtts);
  table.values = logical ? (const void*)mxGetLogicals(nodeAtts) : (const void*)mxGetPr(nodeAtts);
  table.ir = sparse ? (const uint64_t*)mxGetIr_730(nodeAtts) : 0;
  table.jc = sparse ? (const uint64_t*)mxGetJc_730(nodeAtts) : 0;
  return table;
}

// Whether nodesToKeep is left out or given as [], a 0-by-0 double: every node is listed.
static bool listsEveryNode(int nrhs, const mxArray* prhs[]) {
  if (nrhs < 2) return true;
  const mxArray* list = prhs[1];
  return isRealFullDouble(list) && mxGetNumberOfDimensions_730(list) == 2 && mxGetM(list) == 0 && mxGetN(list) == 0;
}

// The node numbers of a list given as a column vector; refuses any other list.
static const double* readList(const mxArray* list) {
  failUnder(!isRealFullDouble(list) || mxGetN(list) != 1 || mxGetNumberOfDimensions_730(list) > 2, kWord, "notlist",
            "Input nodesToKeep must be a real full double column vector of node numbers, or [] for every node; "
            "pass double(nodesToKeep(:)).");
  return mxGetPr(list);
}

// The threshold, 0 when left out; refuses anything but one real number.
static double readThreshold(int nrhs, const mxArray* prhs[]) {
  if (nrhs < 3) return 0.0;
  const mxArray* threshold = prhs[2];
  failUnder(!holdsNumber(threshold) || mxIsComplex(threshold) || mxGetNumberOfElements(threshold) != 1, kWord,
            "notnumber", "Input threshold must be one real number; pass a scalar such as 0.5.");
  return mxGetScalar(threshold);
}

// The listed nodes, 0-based, in workspace: the list's numbers truncated, or every node.
static int32_t* listedNodes(const double* nodesToKeep, uint64_t listed) {
  int32_t* nodes = workspaceOf<int32_t>(kWord, listed + 1);
  for (uint64_t k = 0; k < listed; ++k) nodes[k] = nodesToKeep ? (int32_t)nodesToKeep[k] - 1 : (int32_t)k;
  return nodes;
}

// The table's storage as the start line shows it.
static const char* storageName(AttributeStorage storage) {
  const char* names[] = {"full logical", "full double", "sparse logical", "sparse double"};
  return names[storage];
}

// Creates the result in output slot 0, with room for exactly the entries it stores.
static SparseView createInSlot(void* plhs, uint64_t n, uint64_t stored) {
  return createOutput((mxArray**)plhs, n, stored, kWord);
}

static const char kTooMany[] =
    "More than 2147483647 pairs pass the threshold, more than a sparse result holds; raise the threshold or list "
    "fewer nodes.";

// Checks the call before any work, packs the listed nodes' attributes, finds the similar pairs
// and returns them in a result sized exactly.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  failUnder(nrhs < 1 || nrhs > 3, kWord, "wrongrhs",
            "attributeJaccard takes one to three inputs: S = attributeJaccard(nodeAtts, nodesToKeep, threshold), "
            "the last two optional.");
  failUnder(nlhs > 1, kWord, "wronglhs",
            "attributeJaccard returns one output: S = attributeJaccard(nodeAtts, nodesToKeep, threshold).");
  const AttributeTable table = readTable(prhs[0]);
  const bool everyNode = listsEveryNode(nrhs, prhs);
  const double* nodesToKeep = everyNode ? 0 : readList(prhs[1]);
  const uint64_t listed = everyNode ? table.numNodes : mxGetM(prhs[1]);
  const double threshold = readThreshold(nrhs, prhs);
  refuseSizesAndList(kWord, table.numNodes, table.numAttrs, nodesToKeep, everyNode ? 0 : listed);
  failUnder(threshold < 0.0 && listed * listed > kMaxEntries, kWord, "toomany", kTooMany);
  failUnder(!jaccardWorkspaceFits(listed, table.numAttrs), kWord, "noworkspace",
            "The listed nodes' attributes need more workspace than this machine can address; list fewer nodes.");

  mexPrintf("start attributeJaccard: numAttrs=%d, numNodes=%d (%s), numNodesToKeep=%d, threshold=%f\n",
            low32(table.numAttrs), low32(table.numNodes), storageName(table.storage), low32(listed), threshold);
  int32_t* nodes = listedNodes(nodesToKeep, listed);
  const bool fits = attributeJaccard(table, nodes, listed, threshold, kMaxEntries, widestCpuPath(), createInSlot, plhs);
  mxFree(nodes);
  failUnder(!fits, kWord, "toomany", kTooMany);
}
