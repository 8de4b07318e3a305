// Fetching the degree of an entry's row node ahead of its use, for the normalisation kernels.
#pragma once

#include "frame/portable.h"
#include "frame/sparse_view.h"

// How many entries ahead the degree of a row node is fetched into the cache: the rows of a
// column of common-neighbour counts are scattered over the whole degree vector, which the
// streamed entries push out of the cache, and fetching them early keeps many fetches in flight
// instead of waiting on each. A fetch never faults.
const int32_t kFetchAhead = 32;

// Starts fetching the degree of the row node of entry k + kFetchAhead, when that entry lies
// before `stored`, the number of entries C stores.
inline void fetchDegreeAhead(const uint64_t* ir, const double* d, int32_t k, int32_t stored) {
  if (k + kFetchAhead < stored) prefetchForReading(d + low32(ir[k + kFetchAhead]));
}
