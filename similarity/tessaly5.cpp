#include "similarity/tessaly5.h"

#include "similarity/attribute_pass.h"
#include "similarity/logical_counts.h"

// The similarity block of `path` for nodes of numAttrs bytes: a vector path needs one whole vector.
static SimilarityBlock logicalBlock([[maybe_unused]] CpuPath path, [[maybe_unused]] uint64_t numAttrs) {
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path && numAttrs >= 32) return logicalBlockAvx2;
  if (path != kPortablePath && numAttrs >= 16) return logicalBlockSse2;
#endif
  return logicalBlockPortable;
}

// Jaccard similarities above the threshold between listed nodes; room chosen by the caller.
uint64_t tessaly5OnPath(CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                        double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                        uint64_t* ir, uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5 ... \n", {10000000, 1000000, "tessaly5 nnz=%d M\n"},
                                   "end tessaly5 => nnz=%d\n", logicalBlock(path, numAttrs)};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                       jc, pr);
}

// Jaccard similarities above the threshold between listed nodes; room for a quarter of all pairs.
uint64_t tessaly5bOnPath(CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                         double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                         uint64_t* ir, uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5b ... \n", {10000000, 1000000, "tessaly5b nnz=%d M\n"},
                                   "end tessaly5b => nnz=%d\n", logicalBlock(path, numAttrs)};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
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
