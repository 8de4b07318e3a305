#include "similarity/tessaly5a.h"

#include "similarity/attribute_pass.h"
#include "similarity/row_sum_blocks.h"

// Similarities above the threshold between listed nodes of a numeric table; room for 0.33 of all pairs.
uint64_t tessaly5aOnPath(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold,
                         const SparseView& S) {
  const SimilarityKernel kernel = {"start tessaly5a ... \n", {1000, 1000, "tessaly5a nnz=%d K\n"},
                                   "end tessaly5a => nnz=%d\n", rowSumBlockOf(path), 0,
                                   packedWordsOf(nodeAtts.n), packNumericRows, packedBlockOf(path)};
  return attributePass(kernel, nodeAtts, nodesToKeep, threshold, S);
}

// tessaly5a on the widest path the processor has.
uint64_t tessaly5a(const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold, const SparseView& S) {
  return tessaly5aOnPath(widestPathOf(kTessaly5aKernel), nodeAtts, nodesToKeep, threshold, S);
}
