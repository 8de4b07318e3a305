#include "neighbors/neighbor_counts.h"

#include "frame/host.h"
#include "frame/portable.h"
#include "frame/workspace.h"

// The positions in each row of the pattern of the first column not below `first` and of the first
// column above `last`.
static void sliceOf(const RowPattern& P, int32_t first, int32_t last, int32_t* sliceStart, int32_t* sliceEnd) {
  for (int32_t k = 0; k < P.n; ++k) {
    int32_t p = P.starts[k];
    while (p < P.starts[k + 1] && P.columns[p] < first) ++p;
    sliceStart[k] = p;
    while (p < P.starts[k + 1] && P.columns[p] <= last) ++p;
    sliceEnd[k] = p;
  }
}

CountingPlan countingPlanOf(const char* word, const RowPattern& A, const RowPattern& B, const RowPattern& edges,
                            NeighborSum sum, bool symmetric, const ResultColumns& columns, const PairRequest& request,
                            const double* middleWeights) {
  CountingPlan plan = {&A, &B, &edges, sum, symmetric, columns, middleWeights, 0, 0, 0};
  if (!request.columns) return plan;
  plan.sliceStart = workspaceOf<int32_t>(word, (uint64_t)B.n + 1);
  plan.sliceEnd = workspaceOf<int32_t>(word, (uint64_t)B.n + 1);
  const bool none = request.columnCount == 0;
  sliceOf(B, none ? 1 : request.columns[0], none ? 0 : request.columns[request.columnCount - 1], plan.sliceStart,
          plan.sliceEnd);
  return plan;
}

void releaseCountingPlan(CountingPlan& plan) {
  mxFree(plan.sliceStart);
  mxFree(plan.sliceEnd);
  mxFree(plan.placeInB);
  plan.sliceStart = plan.sliceEnd = plan.placeInB = 0;
}

void countInAnyOrder(const char* word, CountingPlan& plan) {
  if (!plan.symmetric) return;
  const RowPattern& A = *plan.A;
  const RowPattern& B = *plan.B;
  // Row k of B lists the rows of A holding k in ascending order: taken so, rows ascending.
  int32_t* next = workspaceOf<int32_t>(word, (uint64_t)B.n + 1);
  for (int32_t k = 0; k < B.n; ++k) next[k] = B.starts[k];
  plan.placeInB = workspaceOf<int32_t>(word, (uint64_t)A.starts[A.n] + 1);
  for (int32_t p = 0; p < A.starts[A.n]; ++p) plan.placeInB[p] = next[A.columns[p]]++;
  mxFree(next);
}

RowCounts startRowCounts(const char* word, const CountingPlan& plan, bool nonEdges) {
  const uint64_t n = (uint64_t)plan.A->n, middles = (uint64_t)plan.B->n;
  RowCounts counts = {};
  counts.shared = plan.sum == kSharedCount ? zeroedWorkspaceOf<int32_t>(word, n) : 0;
  counts.sums = plan.sum == kSharedCount ? 0 : workspaceOf<double>(word, n);
  for (uint64_t j = 0; counts.sums && j < n; ++j) counts.sums[j] = -1.0;
  counts.reached = workspaceOf<int32_t>(word, n);
  counts.firstFrom = workspaceOf<int32_t>(word, middles + 1);
  for (uint64_t k = 0; k < middles; ++k) counts.firstFrom[k] = plan.B->starts[k];
  if (nonEdges) {
    counts.edgeOf = workspaceOf<int32_t>(word, n);
    for (uint64_t j = 0; j < n; ++j) counts.edgeOf[j] = -1;
  }
  return counts;
}

void releaseRowCounts(RowCounts& counts) {
  mxFree(counts.shared);
  mxFree(counts.sums);
  mxFree(counts.reached);
  mxFree(counts.firstFrom);
  mxFree(counts.edgeOf);
  counts = RowCounts{};
}

// Whether row r's walks are restricted to the result's columns: always for a pattern that is not
// symmetric, and for a symmetric one when r is no column of the result (its mirror images are not
// wanted), once the result has columns of its own.
static bool restrictedRow(const CountingPlan& plan, int32_t r) {
  return plan.columns.of && (!plan.symmetric || plan.columns.of[r] < 0);
}

// The first position of row k's columns that is not below `column`, moved on from `from`.
static int32_t firstFrom(const RowPattern& P, int32_t* from, int32_t k, int32_t column) {
  int32_t p = from[k];
  while (p < P.starts[k + 1] && P.columns[p] < column) ++p;
  from[k] = p;
  return p;
}

// The positions of row k's walk from row r, through its entry p of A: all its columns (not below r
// for a symmetric pattern: from r's own place in row k, where rows come in any order), or, when
// `restricted`, those within the result's first and last columns.
static void walkOf(const CountingPlan& plan, bool restricted, int32_t r, int32_t p, int32_t* from, int32_t& start,
                   int32_t& end) {
  const RowPattern& B = *plan.B;
  const int32_t k = plan.A->columns[p];
  start = !plan.symmetric ? B.starts[k] : plan.placeInB ? plan.placeInB[p] : firstFrom(B, from, k, r);
  end = B.starts[k + 1];
  if (!restricted) return;
  start = start > plan.sliceStart[k] ? start : plan.sliceStart[k];
  end = plan.sliceEnd[k];
}

uint64_t* productsBeforeRows(const char* word, const CountingPlan& plan, const int32_t* rowNodes, int32_t rowCount) {
  const RowPattern& A = *plan.A;
  const RowPattern& B = *plan.B;
  uint64_t* before = zeroedWorkspaceOf<uint64_t>(word, (uint64_t)rowCount + 1);
  uint64_t* products = before + 1;
  if (plan.columns.of) {
    // With columns of its own a row's walks are as walkOf gives them, from a row's start on.
    int32_t* from = workspaceOf<int32_t>(word, (uint64_t)B.n + 1);
    for (int32_t k = 0; k < B.n; ++k) from[k] = B.starts[k];
    for (int32_t i = 0; i < rowCount; ++i) {
      const int32_t r = rowNodes ? rowNodes[i] : i;
      for (int32_t p = A.starts[r]; p < A.starts[r + 1]; ++p) {
        int32_t start, end;
        walkOf(plan, restrictedRow(plan, r), r, p, from, start, end);
        products[i] += (uint64_t)(end > start ? end - start : 0);
      }
    }
    mxFree(from);
  } else if (plan.symmetric) {
    // Row r walks, through each neighbour k, the columns of B's row k not below r: B is A's
    // transpose, so r is in row k of B too, where d(k) - p columns stand at and after its place p.
    uint64_t* ofNode = rowNodes ? zeroedWorkspaceOf<uint64_t>(word, (uint64_t)A.n + 1) : products;
    for (int32_t k = 0; k < B.n; ++k)
      for (int32_t p = B.starts[k]; p < B.starts[k + 1]; ++p) ofNode[B.columns[p]] += (uint64_t)(B.starts[k + 1] - p);
    for (int32_t i = 0; rowNodes && i < rowCount; ++i) products[i] = ofNode[rowNodes[i]];
    if (rowNodes) mxFree(ofNode);
  } else {
    for (int32_t i = 0; i < rowCount; ++i) {
      const int32_t r = rowNodes ? rowNodes[i] : i;
      for (int32_t p = A.starts[r]; p < A.starts[r + 1]; ++p)
        products[i] += (uint64_t)(B.starts[A.columns[p] + 1] - B.starts[A.columns[p]]);
    }
  }
  for (int32_t i = 0; i < rowCount; ++i) before[i + 1] += before[i];
  return before;
}

uint64_t wholeProducts(const CountingPlan& plan) {
  const RowPattern& A = *plan.A;
  const RowPattern& B = *plan.B;
  uint64_t products = 0;
  for (int32_t k = 0; plan.symmetric && k < B.n; ++k) {
    const uint64_t d = (uint64_t)(B.starts[k + 1] - B.starts[k]);
    products += d * (d + 1) / 2;
  }
  for (int32_t p = 0; !plan.symmetric && p < A.starts[A.n]; ++p)
    products += (uint64_t)(B.starts[A.columns[p] + 1] - B.starts[A.columns[p]]);
  return products;
}

// Adds what k adds to the pair of the current row and `column`, listing the column the first time
// it is reached: one to its count, or `added` to its sum.
template <NeighborSum kSum>
static inline void reach(RowCounts& counts, int32_t column, double added, int32_t& reached) {
  if (kSum == kSharedCount) {
    if (counts.shared[column]++ == 0) counts.reached[reached++] = column;
    return;
  }
  double& sum = counts.sums[column];
  if (sum < 0.0) {
    counts.reached[reached++] = column;
    sum = added;
  } else {
    sum += added;
  }
}

// Reaches every column j that row r reaches through an edge r -> k -> j, within its walks, k in
// ascending order; with `kRestricted`, only the result's columns. Returns how many were listed.
template <NeighborSum kSum, bool kRestricted>
static int32_t reachRow(const CountingPlan& plan, int32_t r, RowCounts& counts) {
  const RowPattern& A = *plan.A;
  const RowPattern& B = *plan.B;
  const bool symmetric = plan.symmetric;
  int32_t reached = 0;
  const int32_t last = A.starts[r + 1];
  // On large graphs the neighbours' positions and columns are far apart in memory: they are
  // fetched ahead, all positions first, then the next neighbour's columns while one is counted.
  if (symmetric && !plan.placeInB)
    for (int32_t p = A.starts[r]; p < last; ++p) prefetchForReading(counts.firstFrom + A.columns[p]);
  for (int32_t p = A.starts[r]; p < last; ++p) {
    const int32_t k = A.columns[p];
    if (symmetric && p + 1 < last)
      prefetchForReading(B.columns + (plan.placeInB ? plan.placeInB[p + 1] : counts.firstFrom[A.columns[p + 1]]));
    int32_t start, end;
    walkOf(plan, kRestricted, r, p, counts.firstFrom, start, end);
    const double middle = kSum == kInverseLogDegree || kSum == kInverseDegree ? plan.middleWeights[k] : 0.0;
    const double toK = kSum == kSmallerWeight || kSum == kWeightProduct ? A.weights[p] : 0.0;
    for (int32_t q = start; q < end; ++q) {
      const int32_t column = B.columns[q];
      if (kRestricted && plan.columns.of[column] < 0) continue;
      if (kSum == kSmallerWeight) reach<kSum>(counts, column, toK < B.weights[q] ? toK : B.weights[q], reached);
      else if (kSum == kWeightProduct) reach<kSum>(counts, column, toK * B.weights[q], reached);
      else reach<kSum>(counts, column, middle, reached);
    }
  }
  return reached;
}

// reachRow for the plan's sum.
template <bool kRestricted>
static int32_t reachRowOf(const CountingPlan& plan, int32_t r, RowCounts& counts) {
  switch (plan.sum) {
    case kSharedCount: return reachRow<kSharedCount, kRestricted>(plan, r, counts);
    case kInverseLogDegree: return reachRow<kInverseLogDegree, kRestricted>(plan, r, counts);
    case kInverseDegree: return reachRow<kInverseDegree, kRestricted>(plan, r, counts);
    case kSmallerWeight: return reachRow<kSmallerWeight, kRestricted>(plan, r, counts);
    case kWeightProduct: return reachRow<kWeightProduct, kRestricted>(plan, r, counts);
  }
  return 0;
}

int32_t countRow(const CountingPlan& plan, int32_t r, RowCounts& counts) {
  const RowPattern& edges = *plan.edges;
  if (counts.edgeOf)
    for (int32_t p = edges.starts[r]; p < edges.starts[r + 1]; ++p) counts.edgeOf[edges.columns[p]] = r;
  return restrictedRow(plan, r) ? reachRowOf<true>(plan, r, counts) : reachRowOf<false>(plan, r, counts);
}

void clearRow(RowCounts& counts, int32_t reached) {
  for (int32_t i = 0; i < reached; ++i) {
    if (counts.shared) counts.shared[counts.reached[i]] = 0;
    else counts.sums[counts.reached[i]] = -1.0;
  }
}
