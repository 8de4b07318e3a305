#include "neighbors/neighbor_similarity.h"

#include "frame/sparse_view.h"

NeighborRequest thresholdedRequest(const char* word, const char* openingLine, const char* progressLine,
                                   const char* closingLine, const NeighborMeasure& measure, int32_t n,
                                   double threshold) {
  NeighborRequest request = {};
  request.pairs.word = word;
  request.pairs.progressLine = progressLine;
  request.pairs.closingLine = closingLine;
  request.pairs.threshold = threshold;
  request.pairs.self = true;
  request.pairs.columnCount = n;
  request.pairs.maxEntries = kMaxEntries;
  request.openingLine = openingLine;
  request.measure = &measure;
  request.thresholded = true;
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
