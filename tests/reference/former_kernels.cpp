// The kernels as they were before their vector paths, transcribed unchanged: one branch per
// entry, a call per stored entry for the progress line, a function pointer per pair of nodes.
#include "tests/reference/former_kernels.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/progress.h"
#include "frame/sparse_view.h"

namespace former {

const int32_t kExhausted = 0x7fffffff;

void corvane(const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB, const uint64_t* jcB,
             const double* prB, uint64_t n, int64_t blockEnd, double w, uint64_t* irS, uint64_t* jcS, double* prS) {
  const ProgressLine progress = {1000000, 1000000, "corvane nnz=%d M\n"};
  mexPrintf("starting corvane ...\n");
  int32_t count = 0;
  const double oneMinusW = 1.0 - w;
  const uint64_t bound = (uint64_t)blockEnd;
  for (int32_t j = 0; (uint64_t)(int64_t)j < n; ++j) {
    jcS[j] = widen(count);
    int32_t a = low32(jcA[j]), aEnd = low32(jcA[j + 1]);
    int32_t b = low32(jcB[j]), bEnd = low32(jcB[j + 1]);
    const bool columnInBlock = widen(j) < bound;
    while (a < aEnd || b < bEnd) {
      const int32_t rowA = a < aEnd ? low32(irA[a]) : kExhausted;
      const int32_t rowB = b < bEnd ? low32(irB[b]) : kExhausted;
      const int32_t row = rowA < rowB ? rowA : rowB;
      const double valueA = rowA == row ? prA[a++] : 0.0;
      const double valueB = rowB == row ? prB[b++] : 0.0;
      double v = valueA;
      if (columnInBlock && widen(row) < bound) v = valueA * oneMinusW + valueB * w;
      if (v > 0.0) {
        prS[count] = v;
        irS[count] = widen(row);
        ++count;
        reportProgress(progress, count);
      }
    }
  }
  jcS[n] = widen(count);
  mexPrintf("end corvane => nnz=%d\n", count);
}

void tessaly(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
             double threshold, uint64_t* irS, uint64_t* jcS, double* prS) {
  mexPrintf("tessaly: nnz = %d\n", low32(jcC[n]));
  int32_t count = 0;
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = widen(count);
    const int32_t end = low32(jcC[j + 1]);
    for (int32_t k = low32(jcC[j]); k < end; ++k) {
      const double v = prC[k];
      const double unionSize = (d[low32(irC[k])] + d[j]) - v;
      if (!(unionSize > 0.0)) continue;
      const double similarity = v / unionSize;
      if (!(similarity > threshold)) continue;
      prS[count] = similarity;
      irS[count] = irC[k];
      ++count;
    }
  }
  jcS[n] = widen(count);
}

static int32_t smallerDegree(double rowDegree, double columnDegree) {
  const int32_t divisor = saturatingInt32(rowDegree);
  if ((double)divisor > columnDegree) return saturatingInt32(columnDegree);
  return divisor;
}

void divideByMinDegree(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
                       uint64_t* irS, uint64_t* jcS, double* prS) {
  jcS[n] = jcC[n];
  mexPrintf("nnz = %d\n", low32(jcC[n]));
  for (int32_t j = 0; widen(j) < n; ++j) {
    jcS[j] = jcC[j];
    const int32_t end = low32(jcC[j + 1]);
    for (int32_t k = low32(jcC[j]); k < end; ++k) {
      prS[k] = prC[k] / (double)smallerDegree(d[low32(irC[k])], d[j]);
      irS[k] = irC[k];
    }
  }
}

struct PairCounts {
  uint64_t either;
  uint64_t both;
};

typedef PairCounts (*CountPair)(const void* nodeAtts, uint64_t numNodes, uint64_t numAttrs, int32_t p, int32_t q);

struct SimilarityKernel {
  const char* openingLine;
  ProgressLine progress;
  const char* closingLine;
  CountPair countPair;
};

static double pairSimilarity(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                             uint64_t numAttrs, int32_t p, int32_t q) {
  if (p == q) return 1.0;
  if (numAttrs == 0) return 0.0;
  const PairCounts counts = kernel.countPair(nodeAtts, numNodes, numAttrs, p, q);
  return counts.either > 0 ? (double)counts.both / (double)counts.either : 0.0;
}

static int32_t listedIndex(const double* nodesToKeep, int32_t k) { return saturatingInt32(nodesToKeep[k]) - 1; }

static uint64_t attributePass(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                              uint64_t numAttrs, double threshold, const double* nodesToKeep,
                              uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr) {
  mexPrintf("%s", kernel.openingLine);
  const int32_t listed = (int32_t)numNodesToKeep;
  int32_t nnz = 0;
  uint64_t passed = 0;
  int32_t nextColumn = 0;
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

uint64_t tessaly5(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                  const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc,
                  double* pr) {
  const SimilarityKernel kernel = {"start tessaly5 ... \n", {10000000, 1000000, "tessaly5 nnz=%d M\n"},
                                   "end tessaly5 => nnz=%d\n", countLogicalColumns};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir, jc,
                       pr);
}

uint64_t tessaly5b(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc,
                   double* pr) {
  const SimilarityKernel kernel = {"start tessaly5b ... \n", {10000000, 1000000, "tessaly5b nnz=%d M\n"},
                                   "end tessaly5b => nnz=%d\n", countLogicalColumns};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir, jc,
                       pr);
}

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

uint64_t tessaly5a(const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc,
                   double* pr) {
  const SimilarityKernel kernel = {"start tessaly5a ... \n", {1000, 1000, "tessaly5a nnz=%d K\n"},
                                   "end tessaly5a => nnz=%d\n", countRowSums};
  return attributePass(kernel, nodeAtts, numNodes, numAttrs, threshold, nodesToKeep, numNodesToKeep, nzmax, ir, jc,
                       pr);
}

}  // namespace former
