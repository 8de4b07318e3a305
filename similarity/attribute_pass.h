// The one pass the attribute-similarity kernels share: it walks a list of nodes, computes the
// Jaccard similarity of every ordered pair of listed nodes and stores those above a threshold.
#pragma once

#include <stdint.h>

#include "frame/node_list.h"
#include "frame/progress.h"
#include "frame/numbers.h"
#include "frame/sparse_view.h"
#include "similarity/listed_blocks.h"
#include "similarity/packed_rows.h"

// For the listed column node `column` and each of the kRowsPerBlock listed row nodes `rows`
// (0-based; a short block repeats its last row) of an attribute table laid out as the kernel's
// own: writes the attributes both hold over those either holds (0 when neither holds any) to
// `similarities` and returns the bits (bit i for row i) of those strictly above `threshold`. A row
// equal to the column is counted like any other; the pass replaces it. `columnCount` is what the
// kernel's ColumnCount gave for the column, or 0 where it has none.
typedef unsigned (*SimilarityBlock)(const MatrixView& table, int32_t column, uint32_t columnCount,
                                    const int32_t* rows, double threshold, double* similarities);

// A count over the listed column node `column` alone that every block of its column needs, formed
// once per column.
typedef uint32_t (*ColumnCount)(const MatrixView& table, int32_t column);

// What sets one similarity kernel apart: its lines, its progress step, how it computes a block
// from the table, and how it packs the listed nodes into bit sets and computes a block from them.
struct SimilarityKernel {
  const char* openingLine;
  ProgressLine progress;
  const char* closingLine;  // shows the stored count
  SimilarityBlock similarityBlock;
  ColumnCount columnCount;  // none (0) where the blocks need no count of their column
  uint64_t packedWords;  // the words of a packed node; 0 where the kernel does not pack
  PackRows packRows;
  PackedBlock packedBlock;
};

// Stores into S, column by column in list order, the similarity of every ordered pair of listed
// nodes that is strictly above `threshold`, never past S's room: once the room is full it stores
// nothing more but goes on counting. Where the table packs and the room holds the bit sets past a
// whole column's entries, columns are counted from the bit sets kept at the room's end, until the
// stored entries come near them; the room past the result is left zero as the host created it. S is numNodes-by-numNodes. Returns how many pairs passed the
// threshold: the entries the result needed. The list must hold strictly ascending node numbers
// from 1 to numNodes after truncation, and numNodes must be below 2^31.
uint64_t attributePass(const SimilarityKernel& kernel, const MatrixView& table, const NodeList& nodesToKeep,
                       double threshold, const SparseView& S);
