#include "similarity/attribute_pass.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/sparse_view.h"

// The similarity of listed nodes p and q (0-based): 1 for a node with itself, else the attributes
// both hold over those either holds, 0 when neither holds any.
static double pairSimilarity(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                             uint64_t numAttrs, int32_t p, int32_t q) {
  if (p == q) return 1.0;
  if (numAttrs == 0) return 0.0;
  const PairCounts counts = kernel.countPair(nodeAtts, numNodes, numAttrs, p, q);
  // Whole counts below 2^53 convert exactly, so this equals adding 1.0 per attribute.
  return counts.either > 0 ? (double)counts.both / (double)counts.either : 0.0;
}

// A listed node number truncated toward zero, as a 0-based row or column.
static int32_t listedIndex(const double* nodesToKeep, int32_t k) { return saturatingInt32(nodesToKeep[k]) - 1; }

// Stores the similarities above `threshold` into ir/jc/pr, never past `nzmax`; returns how many passed.
uint64_t attributePass(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                       uint64_t numAttrs, double threshold, const double* nodesToKeep,
                       uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr) {
  mexPrintf("%s", kernel.openingLine);
  const int32_t listed = (int32_t)numNodesToKeep;
  int32_t nnz = 0;
  uint64_t passed = 0;
  int32_t nextColumn = 0;  // the previous listed node's number: the first column not yet started
  for (int32_t j = 0; j < listed; ++j) {
    const int32_t column = listedIndex(nodesToKeep, j);
    for (int32_t i = nextColumn; i <= column; ++i) jc[i] = widen(nnz);
    for (int32_t k = 0; k < listed; ++k) {
      const int32_t row = listedIndex(nodesToKeep, k);
      const double similarity = pairSimilarity(kernel, nodeAtts, numNodes, numAttrs, column, row);
      if (!(similarity > threshold)) continue;
      ++passed;
      if ((uint64_t)nnz >= nzmax) continue;
      pr[nnz] = similarity;
      ir[nnz] = widen(row);
      ++nnz;
      reportProgress(kernel.progress, nnz);
    }
    nextColumn = column + 1;
  }
  for (int32_t i = nextColumn; (uint64_t)i < numNodes; ++i) jc[i] = widen(nnz);
  jc[numNodes] = widen(nnz);
  mexPrintf(kernel.closingLine, nnz);
  return passed;
}
