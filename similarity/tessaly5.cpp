#include "similarity/tessaly5.h"

#include "similarity/attribute_pass.h"
#include "similarity/logical_blocks.h"

// The pass of `kernel`'s lines over the listed nodes on the blocks of `path`.
static uint64_t logicalPass(SimilarityKernel kernel, CpuPath path, const MatrixView& nodeAtts,
                            const NodeList& nodesToKeep, double threshold, const SparseView& S) {
  chooseLogicalBlock(path, nodeAtts, nodesToKeep, kernel);
  kernel.packedWords = packedWordsOf(nodeAtts.m);
  kernel.packRows = packLogicalRows;
  kernel.packedBlock = packedBlockOf(path);
  return attributePass(kernel, nodeAtts, nodesToKeep, threshold, S);
}

// Jaccard similarities above the threshold between listed nodes; room chosen by the caller.
uint64_t tessaly5OnPath(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold,
                        const SparseView& S) {
  const SimilarityKernel kernel = {"start tessaly5 ... \n", {10000000, 1000000, "tessaly5 nnz=%d M\n"},
                                   "end tessaly5 => nnz=%d\n", 0, 0, 0, 0, 0};
  return logicalPass(kernel, path, nodeAtts, nodesToKeep, threshold, S);
}

// Jaccard similarities above the threshold between listed nodes; room for a quarter of all pairs.
uint64_t tessaly5bOnPath(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold,
                         const SparseView& S) {
  const SimilarityKernel kernel = {"start tessaly5b ... \n", {10000000, 1000000, "tessaly5b nnz=%d M\n"},
                                   "end tessaly5b => nnz=%d\n", 0, 0, 0, 0, 0};
  return logicalPass(kernel, path, nodeAtts, nodesToKeep, threshold, S);
}

// tessaly5 on the widest path the processor has.
uint64_t tessaly5(const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold, const SparseView& S) {
  return tessaly5OnPath(widestPathOf(kTessaly5Kernel), nodeAtts, nodesToKeep, threshold, S);
}

// tessaly5b on the widest path the processor has.
uint64_t tessaly5b(const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold, const SparseView& S) {
  return tessaly5bOnPath(widestPathOf(kTessaly5Kernel), nodeAtts, nodesToKeep, threshold, S);
}
