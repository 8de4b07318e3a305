// Jaccard similarity between listed nodes from a logical attribute matrix with one column per node.
#pragma once

#include <stdint.h>

#include "frame/cpu_dispatch.h"

// Stores into ir/jc/pr (room for nzmax entries) the Jaccard similarity of every ordered pair of
// listed nodes that is strictly above `threshold`, column p-1 holding listed node p's similarities.
// nodeAtts holds numAttrs bytes per node, column-major; a nonzero byte means the node has that
// attribute. Returns how many pairs passed the threshold; only the first nzmax are stored.
// Runs on the widest code path the processor has.
uint64_t tessaly5(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                  const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                  uint64_t* jc, double* pr);

// The same as tessaly5, printing its own lines.
uint64_t tessaly5b(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir,
                   uint64_t* jc, double* pr);

// tessaly5 and tessaly5b on a code path of the caller's choice, one `cpuPathRuns` allows.
uint64_t tessaly5OnPath(CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                        double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                        uint64_t* ir, uint64_t* jc, double* pr);
uint64_t tessaly5bOnPath(CpuPath path, const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs,
                         double threshold, const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax,
                         uint64_t* ir, uint64_t* jc, double* pr);
