#include "similarity/tessaly5a.h"

#include "frame/numbers.h"
#include "similarity/attribute_pass.h"
#include "similarity/row_sums.h"

// Similarities above the threshold between listed nodes of a numeric table; room for 0.33 of all pairs.
uint64_t tessaly5aOnPath([[maybe_unused]] CpuPath path, const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                         double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                         uint64_t* ir, uint64_t* jc, double* pr) {
  SimilarityKernel kernel = {"start tessaly5a ... \n", {1000, 1000, "tessaly5a nnz=%d K\n"},
                             "end tessaly5a => nnz=%d\n", rowSumBlockPortable, 0};
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path) kernel.similarityBlock = rowSumBlockAvx2;
#endif
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                       jc, pr);
}

// tessaly5a on the widest path the processor has.
uint64_t tessaly5a(const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                   uint64_t* jc, double* pr) {
  return tessaly5aOnPath(widestCpuPath(), nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep,
                         nzmax, ir, jc, pr);
}
