#include "similarity/tessaly5.h"

#include "similarity/attribute_pass.h"

// Attributes held by either of nodes p and q, and by both: nonzero bytes of their logical columns.
static PairCounts countLogicalColumns(const void* nodeAtts, uint64_t, uint64_t numAttrs, int32_t p, int32_t q) {
  const uint8_t* atts = (const uint8_t*)nodeAtts;
  const uint8_t* columnP = atts + (uint64_t)p * numAttrs;
  const uint8_t* columnQ = atts + (uint64_t)q * numAttrs;
  uint64_t either = 0, both = 0;
  for (uint64_t a = 0; a < numAttrs; ++a) {
    const bool inP = columnP[a] != 0, inQ = columnQ[a] != 0;
    either += inP | inQ;
    both += inP & inQ;
  }
  return PairCounts{either, both};
}

// Jaccard similarities above the threshold between listed nodes; room chosen by the caller.
uint64_t tessaly5(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                  const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                  uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5 ... \n", {10000000, 1000000, "tessaly5 nnz=%d M\n"},
                                   "end tessaly5 => nnz=%d\n", countLogicalColumns};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                       jc, pr);
}

// Jaccard similarities above the threshold between listed nodes; room for a quarter of all pairs.
uint64_t tessaly5b(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                   uint64_t* jc, double* pr) {
  const SimilarityKernel kernel = {"start tessaly5b ... \n", {10000000, 1000000, "tessaly5b nnz=%d M\n"},
                                   "end tessaly5b => nnz=%d\n", countLogicalColumns};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir,
                       jc, pr);
}
