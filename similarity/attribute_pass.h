// The one pass the attribute-similarity kernels share: it walks a list of nodes, computes the
// Jaccard similarity of every ordered pair of listed nodes and stores those above a threshold.
#pragma once

#include <stdint.h>

#include "frame/progress.h"

// The attributes held by either of two nodes and by both.
struct PairCounts {
  uint64_t either;
  uint64_t both;
};

// Counts the attributes of the different nodes p and q (0-based) in a table of numNodes nodes and
// numAttrs attributes (numAttrs above 0); the table's layout is the kernel's own.
typedef PairCounts (*CountPair)(const void* nodeAtts, uint64_t numNodes, uint64_t numAttrs, int32_t p,
                                int32_t q);

// What sets one similarity kernel apart: its lines, its progress step and how it counts a pair.
struct SimilarityKernel {
  const char* openingLine;
  ProgressLine progress;
  const char* closingLine;  // shows the stored count
  CountPair countPair;
};

// Stores, column by column in list order, the similarity of every ordered pair of listed nodes
// that is strictly above `threshold` into ir/jc/pr, which have room for `nzmax` entries. Once the
// room is full it stores nothing more but goes on counting. Returns how many pairs passed the
// threshold: the entries the result needed. The list must hold strictly ascending node numbers
// from 1 to numNodes after truncation, and numNodes must be below 2^31.
uint64_t attributePass(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                       uint64_t numAttrs, double threshold, const double* nodesToKeep,
                       uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr);
