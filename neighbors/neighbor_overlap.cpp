#include "neighbors/neighbor_similarity.h"

// The overlap of two neighbourhoods: shared neighbours over the smaller degree; +Inf when it is 0.
static double overlapOf(int32_t shared, int32_t rowDegree, int32_t columnDegree) {
  const int32_t smaller = rowDegree < columnDegree ? rowDegree : columnDegree;
  return (double)shared / (double)smaller;
}

// The pairs whose neighbourhoods' overlap is above the threshold.
NeighborPairs neighborOverlap(const MatrixView& G, double threshold) {
  const NeighborMeasure measure = {"neighborOverlap", "neighborOverlap: %d%% done\n", overlapOf};
  return findNeighborPairs(measure, G, threshold, moduleLimits());
}
