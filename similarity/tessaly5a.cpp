#include "similarity/tessaly5a.h"

#include "frame/numbers.h"
#include "similarity/attribute_pass.h"

// Attributes held by either of nodes p and q, and by both, from the sums of their rows' truncated values.
static PairCounts countRowSums(const void* nodeAtts, uint64_t numNodes, uint64_t numAttrs, int32_t p, int32_t q) {
  const double* rowP = (const double*)nodeAtts + p;
  const double* rowQ = (const double*)nodeAtts + q;
  uint64_t either = 0, both = 0;
  for (uint64_t offset = 0, end = numAttrs * numNodes; offset < end; offset += numNodes) {
    const int64_t sum = (int64_t)saturatingInt32(rowP[offset]) + saturatingInt32(rowQ[offset]);
    either += sum == 1 || sum == 2;
    both += sum == 2;
  }
  return PairCounts{either, both};
}

// Similarities above the threshold between listed nodes of a numeric table; room for 0.33 of all pairs.
uint64_t tessaly5a(const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                   uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5a ... \n", {1000, 1000, "tessaly5a nnz=%d K\n"},
                                   "end tessaly5a => nnz=%d\n", countRowSums};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                       jc, pr);
}
