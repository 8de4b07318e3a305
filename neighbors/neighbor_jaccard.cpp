#include "frame/numbers.h"
#include "neighbors/neighbor_similarity.h"

// The Jaccard similarity of two neighbourhoods: shared neighbours over the nodes in either, the
// degrees added first; NaN, never kept, when no node is in either.
static double jaccardOf(int32_t shared, int32_t rowDegree, int32_t columnDegree) {
  const double both = (double)shared;
  const double either = ((double)rowDegree + (double)columnDegree) - both;
  return either > 0.0 ? both / either : quietNaN();
}

// The pairs whose neighbourhoods' Jaccard similarity is above the threshold.
NeighborPairs neighborJaccard(const MatrixView& G, double threshold) {
  const NeighborMeasure measure = {"neighborJaccard", "neighborJaccard: %d%% done\n", jaccardOf};
  return findNeighborPairs(measure, G, threshold, moduleLimits());
}
