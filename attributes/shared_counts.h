// The inner loop of attributeJaccard on each CPU path: the attributes one listed node shares with
// every later row, and the rows whose similarity passes the threshold.
#pragma once

#include <stdint.h>

#include "frame/cpu_paths.h"

// The Jaccard similarity of two different nodes from their counts: the attributes both hold over
// those either holds, 0 when neither holds any. Whole counts below 2^53 are exact as doubles.
inline double jaccardOfCounts(uint32_t shared, uint32_t heldP, uint32_t heldQ) {
  const double both = shared, either = (double)heldP + (double)heldQ - both;
  return either > 0.0 ? both / either : 0.0;
}

// A stored entry of the result's lower half: a row's list position and the attributes it shares
// with its column.
struct SimilarRow {
  uint32_t row;
  uint32_t shared;
};

// Writes to `rows`, in list order, list position `column` itself when its similarity with itself,
// 1, is above `threshold`, and every later row whose similarity with it is strictly above
// `threshold`; returns how many. `bits` and `held` are as packAttributes makes them; `rows` has room
// for every row from `column` on and kInterleavedRows more.
uint64_t similarRows(CpuPath path, const uint64_t* bits, const uint32_t* held, uint64_t words, uint64_t listed,
                     uint64_t column, double threshold, SimilarRow* rows);
