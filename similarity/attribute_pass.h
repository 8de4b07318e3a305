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
// `columnCount` is what the kernel's ColumnCount gave for the column, or 0 where it has none.
typedef unsigned (*SimilarityBlock)(const void* nodeAtts, uint64_t numNodes, uint64_t numAttrs, int32_t column,
                                    uint32_t columnCount, const int32_t* rows, double threshold,
                                    double* similarities);

// A count over the listed column node `column` alone that every block of its column needs, formed
// once per column.
typedef uint32_t (*ColumnCount)(const void* nodeAtts, uint64_t numNodes, uint64_t numAttrs, int32_t column);

// What sets one similarity kernel apart: its lines, its progress step and how it computes a block.
struct SimilarityKernel {
  const char* openingLine;
  ProgressLine progress;
  const char* closingLine;  // shows the stored count
  SimilarityBlock similarityBlock;
  ColumnCount columnCount;  // none (0) where the blocks need no count of their column
};

// Stores, column by column in list order, the similarity of every ordered pair of listed nodes
// that is strictly above `threshold` into ir/jc/pr, which have room for `nzmax` entries. Once the
// room is full it stores nothing more but goes on counting. Returns how many pairs passed the
// threshold: the entries the result needed. The list must hold strictly ascending node numbers
// from 1 to numNodes after truncation, and numNodes must be below 2^31.
uint64_t attributePass(const SimilarityKernel& kernel, const void* nodeAtts, uint64_t numNodes,
                       uint64_t numAttrs, double threshold, const double* nodesToKeep,
                       uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr);
