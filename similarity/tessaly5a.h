// Jaccard similarity between listed nodes from a numeric 0/1 table with one row per node.
#pragma once

#include <stdint.h>

#include "frame/cpu_dispatch.h"

// Stores into ir/jc/pr (room for nzmax entries) the similarity of every ordered pair of listed
// nodes that is strictly above `threshold`, as tessaly5b does, reading nodeAtts as numNodes rows
// of numAttrs values, column-major. Per attribute the two nodes' values are truncated toward
// zero to 32-bit integers (NaN as 0, saturating at the 32-bit ends) and added in 64 bits: a sum
// of 1 counts as held by either node, a sum of 2 as held by both, any other sum as neither.
// Returns how many pairs passed the threshold; only the first nzmax are stored. Runs on the
// widest code path the processor has.
uint64_t tessaly5a(const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                   uint64_t* jc, double* pr);

// tessaly5a on a code path of the caller's choice, one `cpuPathRuns` allows.
uint64_t tessaly5aOnPath(CpuPath path, const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                         double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                         uint64_t* ir, uint64_t* jc, double* pr);
