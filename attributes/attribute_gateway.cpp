#include "attributes/attribute_gateway.h"

#include "frame/workspace.h"

MatrixView readAttributeTable(const char* word, const mxArray* nodeAtts) {
  const mxClassID kind = mxGetClassID(nodeAtts);
  failIf((kind != mxLOGICAL_CLASS && kind != mxDOUBLE_CLASS) || hasPages(nodeAtts), word, "badtable",
         "Input nodeAtts must be a logical or double matrix, full or sparse, with one column per node; convert "
         "it with double(X).");
  failIf(mxIsComplex(nodeAtts), word, "complex",
         "Input nodeAtts must be real; pass X ~= 0 to count an attribute as held wherever X is nonzero.");
  return readMatrix(nodeAtts);
}

const char* storageName(const mxArray* nodeAtts) {
  const bool logical = mxGetClassID(nodeAtts) == mxLOGICAL_CLASS;
  if (mxIsSparse(nodeAtts)) return logical ? "sparse logical" : "sparse double";
  return logical ? "full logical" : "full double";
}

int32_t* listedNodes(const char* word, const NodeList& list, uint64_t listed) {
  int32_t* nodes = workspaceOf<int32_t>(word, listed + 1);
  for (uint64_t k = 0; k < listed; ++k) nodes[k] = list.numbers ? (int32_t)list.numbers[k] - 1 : (int32_t)k;
  return nodes;
}

void returnAttributePairs(AttributePairs& found, mxArray* plhs[]) {
  storeAttributePairs(found, createPairResult(plhs, found.request.pairs, found.overflowed, "toomany",
                                              "More than 2147483647 pairs pass the threshold, more than a sparse "
                                              "result holds; raise the threshold or list fewer nodes.",
                                              found.request.rows ? (uint64_t)found.request.rowCount : found.numNodes,
                                              found.entries));
}
