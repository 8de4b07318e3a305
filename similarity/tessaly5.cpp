#include "similarity/tessaly5.h"

#include "similarity/attribute_pass.h"
#include "similarity/logical_counts.h"

// The similarity block of `path`, and the count of its column it needs, for the listed nodes of a
// table of numAttrs bytes a node: a vector path needs one whole vector.
static void chooseLogicalBlock([[maybe_unused]] CpuPath path, [[maybe_unused]] const uint8_t* nodeAtts,
                               [[maybe_unused]] uint64_t numAttrs, [[maybe_unused]] const double* nodesToKeep,
                               [[maybe_unused]] uint64_t numNodesToKeep, SimilarityKernel& kernel) {
  kernel.similarityBlock = logicalBlockPortable;
  kernel.columnCount = 0;
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path && numAttrs >= 32) {
    const bool zeroOrOne = listedBytesAreZeroOrOneAvx2(nodeAtts, numAttrs, nodesToKeep, numNodesToKeep);
    kernel.similarityBlock = zeroOrOne ? logicalBlockAvx2<true> : logicalBlockAvx2<false>;
    kernel.columnCount = heldByColumnAvx2;
  } else if (path != kPortablePath && numAttrs >= 16) {
    kernel.similarityBlock = logicalBlockSse2;
  }
#endif
}

// The pass of `kernel`'s lines over the listed nodes on the block of `path`.
static uint64_t logicalPass(SimilarityKernel kernel, CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes,
                            uint64_t numAttrs, double threshold, const double* nodesToKeep, uint64_t numNodesToKeep,
                            uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr) {
  chooseLogicalBlock(path, nodeAtts, numAttrs, nodesToKeep, numNodesToKeep, kernel);
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                       jc, pr);
}

// Jaccard similarities above the threshold between listed nodes; room chosen by the caller.
uint64_t tessaly5OnPath(CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                        double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                        uint64_t* ir, uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5 ... \n", {10000000, 1000000, "tessaly5 nnz=%d M\n"},
                                   "end tessaly5 => nnz=%d\n", 0, 0};
  return logicalPass(kernel, path, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                     jc, pr);
}

// Jaccard similarities above the threshold between listed nodes; room for a quarter of all pairs.
uint64_t tessaly5bOnPath(CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                         double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                         uint64_t* ir, uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5b ... \n", {10000000, 1000000, "tessaly5b nnz=%d M\n"},
                                   "end tessaly5b => nnz=%d\n", 0, 0};
  return logicalPass(kernel, path, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                     jc, pr);
}

// tessaly5 on the widest path the processor has.
uint64_t tessaly5(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                  const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                  uint64_t* jc, double* pr) {
  return tessaly5OnPath(widestCpuPath(), nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep,
                        nzmax, ir, jc, pr);
}

// tessaly5b on the widest path the processor has.
uint64_t tessaly5b(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                   uint64_t* jc, double* pr) {
  return tessaly5bOnPath(widestCpuPath(), nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep,
                         nzmax, ir, jc, pr);
}
