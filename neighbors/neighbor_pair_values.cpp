#include "neighbors/neighbor_pair_values.h"

#include "frame/host.h"
#include "frame/threads.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"

// What every worker reads to find a pair's value.
struct PairValuesPlan {
  const NeighborRequest* request;
  const RowPattern* A;
  const RowPattern* Bt;
  const RowPattern* edges;
  const int32_t* degrees;        // the entries of each row of A
  const double* numbers;         // each node's weight total or norm, for a weighted measure; else null
  const double* middleWeights;   // what each k adds (Adamic-Adar, resource allocation); else null
};

// Whether row r of a pattern holds column j.
static bool holdsColumn(const RowPattern& P, int32_t r, int32_t j) {
  int32_t low = P.starts[r], high = P.starts[r + 1];
  while (low < high) {
    const int32_t middle = low + (high - low) / 2;
    if (P.columns[middle] < j) low = middle + 1;
    else high = middle;
  }
  return low < P.starts[r + 1] && P.columns[low] == j;
}

// What the common neighbour at A's position p and Bt's position q adds to the pair's sum.
static double added(const PairValuesPlan& plan, NeighborSum sum, int32_t p, int32_t q) {
  switch (sum) {
    case kSharedCount:
    case kInverseLogDegree:
    case kInverseDegree: return plan.middleWeights[plan.A->columns[p]];
    case kSmallerWeight: {
      const double toK = plan.A->weights[p], fromK = plan.Bt->weights[q];
      return toK < fromK ? toK : fromK;
    }
    case kWeightProduct: return plan.A->weights[p] * plan.Bt->weights[q];
  }
  return 0.0;
}

// The whole result's entry at (r, j): 0 where it holds none.
static double valueAt(const PairValuesPlan& plan, int32_t r, int32_t j) {
  const NeighborRequest& request = *plan.request;
  if ((r == j && !request.pairs.self) || (request.nonEdgesOnly && holdsColumn(*plan.edges, r, j))) return 0.0;
  const RowPattern& A = *plan.A;
  const RowPattern& Bt = *plan.Bt;
  const NeighborSum sum = request.measure->sum;
  int32_t p = A.starts[r], q = Bt.starts[j], shared = 0;
  const int32_t pEnd = A.starts[r + 1], qEnd = Bt.starts[j + 1];
  double total = 0.0;
  while (p < pEnd && q < qEnd) {
    const int32_t k = A.columns[p], other = Bt.columns[q];
    if (k < other) {
      ++p;
    } else if (other < k) {
      ++q;
    } else {
      // Counts add as whole numbers and sums in the order of k, as the pass adds them.
      if (sum != kSharedCount) total += added(plan, sum, p, q);
      ++shared;
      ++p;
      ++q;
    }
  }
  if (shared == 0) return 0.0;
  const double rowNumber = plan.numbers ? plan.numbers[r] : (double)plan.degrees[r];
  const double columnNumber = plan.numbers ? plan.numbers[j] : (double)plan.degrees[j];
  return request.measure->valueOf(sum == kSharedCount ? (double)shared : total, rowNumber, columnNumber);
}

int64_t neighborPairValues(const NeighborRequest& request, const MatrixView& G, const int32_t* from, const int32_t* to,
                           int64_t count, double* values) {
  const int32_t n = (int32_t)G.n;
  const char* word = request.pairs.word;
  CallThreads threads = {request.pairs.threads, 0};
  int32_t* degrees = zeroedWorkspaceOf<int32_t>(word, (uint64_t)n + 1);
  const int32_t edges = countDegrees(G, degrees);
  mexPrintf(request.openingLine, n, edges, request.pairs.threshold);
  const int32_t fixedWorkers = threadsFor(threads, 8 * (uint64_t)low32(G.jc[n]) + (uint64_t)n,
                                          request.limits.workPerThread);
  DirectedPatterns patterns = {};
  patterns.P = rowPatternOf(word, G, degrees, request.measure->weighted, fixedWorkers);
  directedPatternsOf(word, G, request.direction, request.measure->weighted, true, patterns, fixedWorkers);
  rowCounts(*patterns.A, degrees);
  double* numbers = nodeNumbers(word, request.measure->number, *patterns.A);
  int32_t* middleDegrees = workspaceOf<int32_t>(word, (uint64_t)patterns.B->n + 1);
  rowCounts(*patterns.B, middleDegrees);
  double* middleWeights = middleWeightsOf(word, request.measure->sum, middleDegrees, patterns.B->n);
  mxFree(middleDegrees);
  const PairValuesPlan plan = {&request, patterns.A, patterns.Bt, patterns.edges, degrees, numbers, middleWeights};
  // Each pair's work: the two rows it merges.
  uint64_t* workBefore = workspaceOf<uint64_t>(word, (uint64_t)count + 1);
  workBefore[0] = 0;
  for (int64_t p = 0; p < count; ++p)
    workBefore[p + 1] = workBefore[p] + 1 + (uint64_t)(patterns.A->starts[from[p] + 1] - patterns.A->starts[from[p]]) +
                        (uint64_t)(patterns.Bt->starts[to[p] + 1] - patterns.Bt->starts[to[p]]);
  const int32_t workers = threadsFor(threads, workBefore[count], request.limits.workPerThread);
  int32_t slices[kMostThreads + 1];
  // Slices of pairs, numbered as 32-bit items in groups where the list is longer.
  const int64_t group = count / INT32_MAX + 1;
  const int32_t groups = (int32_t)((count + group - 1) / group);
  sliceByCost([workBefore, group, count](int32_t g) { return workBefore[g * group < count ? g * group : count]; }, 0,
              groups, workers, slices);
  auto find = [&](int32_t worker) {
    const int64_t first = slices[worker] * group, past = slices[worker + 1] * group < count ? slices[worker + 1] * group : count;
    for (int64_t p = first; p < past; ++p) values[p] = valueAt(plan, from[p], to[p]);
  };
  runEachWorker(find, workers);
  int64_t nonzero = 0;
  for (int64_t p = 0; p < count; ++p) nonzero += values[p] != 0.0;
  mxFree(workBefore);
  mxFree(middleWeights);
  mxFree(numbers);
  releaseDirectedPatterns(patterns);
  mxFree(degrees);
  return nonzero;
}
