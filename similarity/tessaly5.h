// Jaccard similarity between listed nodes from a logical attribute matrix with one column per node.
#pragma once

#include <stdint.h>

#include "frame/cpu_paths.h"
#include "frame/node_list.h"
#include "frame/sparse_view.h"

// Stores into S the Jaccard similarity of every ordered pair of listed nodes that is strictly
// above `threshold`, column p-1 holding listed node p's similarities. nodeAtts is the
// numAttrs-by-numNodes full logical table: a nonzero byte means the node has that attribute.
// Returns how many pairs passed the threshold; only the first nzmax are stored. Runs on the widest
// code path the processor has.
uint64_t tessaly5(const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold, const SparseView& S);

// The same as tessaly5, printing its own lines.
uint64_t tessaly5b(const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold, const SparseView& S);

// tessaly5 and tessaly5b on a code path of their own (kTessaly5Kernel in frame/cpu_paths.h).
uint64_t tessaly5OnPath(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold,
                        const SparseView& S);
uint64_t tessaly5bOnPath(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep, double threshold,
                         const SparseView& S);
