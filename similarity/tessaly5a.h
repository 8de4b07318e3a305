// Jaccard similarity between listed nodes from a numeric 0/1 table with one row per node.
#pragma once

#include <stdint.h>

#include "frame/cpu_paths.h"
#include "frame/node_list.h"
#include "frame/sparse_view.h"

// Stores into S the similarity of every ordered pair of listed nodes that is strictly above
// `threshold`, as tessaly5b does, reading nodeAtts as the numNodes-by-numAttrs full double table.
// Per attribute the two nodes' values are truncated toward zero to 32-bit integers (NaN as 0,
// saturating at the 32-bit ends) and added in 64 bits: a sum of 1 counts as held by either node,
// a sum of 2 as held by both, any other sum as neither. Returns how many pairs passed the
// threshold; only the first nzmax are stored. Runs on the widest code path the processor has.
uint64_t tessaly5a(const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold, const SparseView& S);

// tessaly5a on a code path of its own (kTessaly5aKernel in frame/cpu_paths.h).
uint64_t tessaly5aOnPath(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold,
                         const SparseView& S);
