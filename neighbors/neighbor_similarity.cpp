#include "neighbors/neighbor_similarity.h"

NeighborRequest thresholdedRequest(const char* word, const char* openingLine, const char* progressLine,
                                   const char* closingLine, const NeighborMeasure& measure, int32_t n,
                                   double threshold) {
  NeighborRequest request = {};
  request.word = word;
  request.openingLine = openingLine;
  request.progressLine = progressLine;
  request.closingLine = closingLine;
  request.measure = &measure;
  request.thresholded = true;
  request.threshold = threshold;
  request.self = true;
  request.columnCount = n;
  request.limits = moduleLimits();
  return request;
}

// The pairs whose neighbourhoods' Jaccard similarity is above the threshold.
NeighborPairs neighborJaccard(const MatrixView& G, double threshold) {
  return findNeighborPairs(thresholdedRequest("neighborJaccard", "neighborJaccard: n = %d, nnz(G) = %d, threshold = %f\n",
                                              "neighborJaccard: %d%% done\n", "neighborJaccard: nnz(S) = %d\n",
                                              neighborJaccardMeasure(), (int32_t)G.n, threshold),
                           G);
}

// The pairs whose neighbourhoods' overlap is above the threshold.
NeighborPairs neighborOverlap(const MatrixView& G, double threshold) {
  return findNeighborPairs(thresholdedRequest("neighborOverlap", "neighborOverlap: n = %d, nnz(G) = %d, threshold = %f\n",
                                              "neighborOverlap: %d%% done\n", "neighborOverlap: nnz(S) = %d\n",
                                              neighborOverlapMeasure(), (int32_t)G.n, threshold),
                           G);
}
