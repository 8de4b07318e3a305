// Work sliced by its cost, not by its count of items: items first to past-1 whose cost before item
// i is costBefore(i) (a cumulative cost, never decreasing) are cut so that each slice costs about
// the same, as GraphBLAS's GB_ek_slice cuts a matrix's entries among its tasks.
#pragma once

#include <stdint.h>

// The first item from `first` on (at most `past`) whose cost before it reaches `cost`.
template <typename CostBefore>
int32_t itemWhereCostReaches(const CostBefore& costBefore, int32_t first, int32_t past, uint64_t cost) {
  while (first < past) {
    const int32_t middle = first + (past - first) / 2;
    if (costBefore(middle) < cost) first = middle + 1;
    else past = middle;
  }
  return first;
}

// Cuts items first to past-1 into `parts` slices of about equal cost: slice t holds items
// starts[t] to starts[t+1]-1 (starts has parts + 1 entries; a slice may be empty).
template <typename CostBefore>
void sliceByCost(const CostBefore& costBefore, int32_t first, int32_t past, int32_t parts, int32_t* starts) {
  const uint64_t base = costBefore(first), total = costBefore(past) - base;
  starts[0] = first;
  for (int32_t t = 1; t < parts; ++t) {
    // total * t / parts without overflow, for totals up to 2^64 / parts.
    const uint64_t share = total / (uint64_t)parts * (uint64_t)t + total % (uint64_t)parts * (uint64_t)t / (uint64_t)parts;
    starts[t] = itemWhereCostReaches(costBefore, starts[t - 1], past, base + share);
  }
  starts[parts] = past;
}

// The end of a round of the work that starts at item `first`: the first item past it whose cost
// before it reaches `roundCost` more than first's, at least one item on, at most `past`.
template <typename CostBefore>
int32_t roundEnd(const CostBefore& costBefore, int32_t first, int32_t past, uint64_t roundCost) {
  const int32_t end = itemWhereCostReaches(costBefore, first + 1, past, costBefore(first) + roundCost);
  return end > past ? past : end;
}

// A pass is cut into about this many rounds of its work, so that its progress shows as it goes;
// a round has at least a thread's work, and at most kMostRoundWork units where what a round's
// workers keep is bounded by its work.
const uint64_t kRoundsOfAPass = 64;
const uint64_t kMostRoundWork = UINT64_C(1) << 22;

// The work of each round of a pass of `work` units, `perThread` of which make a thread's work;
// `bounded` where a round's work bounds the room its workers need.
inline uint64_t roundWorkOf(uint64_t work, uint64_t perThread, bool bounded) {
  uint64_t round = work / kRoundsOfAPass > perThread ? work / kRoundsOfAPass : perThread;
  if (bounded && round > kMostRoundWork) round = kMostRoundWork;
  return round > 0 ? round : 1;
}
