// The listed nodes' attributes packed once into bit sets, kept in the unused end of the output's
// row indices while the pass fills the result from the start, so that each pair is counted from a
// few words instead of the whole table: no memory of the module's own.
#pragma once

#include <stdint.h>

#include "frame/cpu_paths.h"
#include "frame/node_list.h"
#include "frame/sparse_view.h"

// The packed rows: list position k's attributes in words bits[k * words] on, and how many it
// holds in held[k]; `start` is the first entry of the output's row indices they take.
struct PackedRows {
  uint64_t* bits;
  uint64_t* held;
  uint64_t words;
  uint64_t start;
};

// The 64-bit words of the bit set of a node of numAttrs attributes.
inline uint64_t packedWordsOf(uint64_t numAttrs) { return numAttrs / 64 + (numAttrs % 64 != 0); }

// Packs the listed nodes of a table (set in bits and held, `words` words a node); false where the
// table holds a value the bit sets cannot stand for, leaving what was written to be cleared.
typedef bool (*PackRows)(const MatrixView& table, const NodeList& nodesToKeep, const PackedRows& packed);

// Packs the listed nodes of a logical table of numAttrs bytes a node: a nonzero byte is held.
bool packLogicalRows(const MatrixView& nodeAtts, const NodeList& nodesToKeep, const PackedRows& packed);

// Packs the listed nodes of a numeric table with one row per node, each value truncated toward
// zero as the pass truncates it; false unless every listed value truncates to 0 or 1, the only
// values for which the sum rule is the count of what both and either hold.
bool packNumericRows(const MatrixView& nodeAtts, const NodeList& nodesToKeep, const PackedRows& packed);

// For list position `column` and the kRowsPerBlock list positions from `first` on (the last one,
// listed - 1, repeated past the list's end): writes their similarities from the packed rows and
// returns the bits of those strictly above `threshold`, as a SimilarityBlock does.
typedef unsigned (*PackedBlock)(const PackedRows& packed, int32_t column, int32_t first, int32_t listed,
                                double threshold, double* similarities);

// The packed block of `path`: AVX2 counts with the POPCNT instruction, the others without.
PackedBlock packedBlockOf(CpuPath path);
