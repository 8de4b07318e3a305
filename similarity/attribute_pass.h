// The one pass the attribute-similarity kernels share: it walks a list of nodes, computes the
// Jaccard similarity of every ordered pair of listed nodes and stores those above a threshold.
#pragma once

#include <stdint.h>

#include "frame/progress.h"

// How many row nodes of one column a similarity block takes in one pass over the column's values.
const int kBlockRows = 16;

// For the listed column node `column` and each of the kBlockRows listed row nodes `rows` (0-based;
// a short block repeats its last row) in a table of numNodes nodes and numAttrs attributes whose
// layout is the kernel's own: writes the attributes both hold over those either holds (0 when
// neither holds any) to `similarities` and returns the bits (bit i for row i) of those strictly
// above `threshold`. A row equal to the column is counted like any other; the pass replaces it.
typedef unsigned (*SimilarityBlock)(const void* nodeAtts, uint64_t numNodes, uint64_t numAttrs, int32_t column,
                                    const int32_t* rows, double threshold, double* similarities);

// What sets one similarity kernel apart: its lines, its progress step and how it computes a block.
struct SimilarityKernel {
  const char* openingLine;
  ProgressLine progress;
  const char* closingLine;  // shows the stored count
  SimilarityBlock similarityBlock;
};

// Stores, column by column in list order, the similarity of every ordered pair of listed nodes
// that is strictly above `threshold` into ir/jc/pr, which have room for `nzmax` entries. Once the
// room is full it stores nothing more but goes on counting. Returns how many pairs passed the
// threshold: the entries the result needed. The list must hold strictly ascending node numbers
// from 1 to numNodes after truncation, and numNodes must be below 2^31.
uint64_t attributePass(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                       uint64_t numAttrs, double threshold, const double* nodesToKeep,
                       uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr);
