#include "neighbors/neighbor_pass.h"

#include "frame/host.h"
#include "frame/portable.h"
#include "frame/progress.h"
#include "frame/sorting.h"
#include "frame/workspace.h"
#include "neighbors/neighbor_prefixes.h"

// Products of a pass (one count added for a neighbour of a neighbour) that take about a second here.
static const uint64_t kProductsPerSecond = 100000000;

// The rows of G's pattern with 32-bit positions: row r holds the columns of its edges, ascending,
// columns[starts[r]] up to columns[starts[r+1]-1], and for a weighted measure their weights.
struct RowPattern {
  int32_t* starts;
  int32_t* columns;
  double* weights;
};

// What a pass counts in: a count (or a sum, -1 until reached) for every column, the columns the
// current row reached, what each middle node adds, and the positions that bound each row's walk.
struct Counts {
  int32_t* shared;
  double* sums;
  int32_t* reached;
  double* middleWeights;  // per node k: what it adds as a common neighbour (Adamic-Adar, resource allocation)
  int32_t* firstFrom;     // symmetric: the first position of each row's columns not below the current row
  int32_t* sliceStart;    // with result columns: the first position of each row's columns from the first of them
  int32_t* sliceEnd;      // ... and past the last of them
  int32_t* edgeOf;        // edgeOf[j] is r while row r is found and (r, j) is an edge
  int64_t room;           // of the pairs
};

// Whether stored entry k of G is an edge: a value that is not 0, NaN included.
static bool isEdge(const MatrixView& G, int32_t k) { return G.pr ? G.pr[k] != 0.0 : G.logicals[k] != 0; }

// Counts each node's edges out (the edges of its row) into `degrees`; returns all the edges.
static int32_t countDegrees(const MatrixView& G, int32_t* degrees) {
  int32_t edges = 0;
  const int32_t stored = low32(G.jc[G.n]);
  for (int32_t k = 0; k < stored; ++k) {
    if (!isEdge(G, k)) continue;
    ++degrees[low32(G.ir[k])];
    ++edges;
  }
  return edges;
}

// The rows of G's pattern, with their weights when `weighted`, from the counts of edges of each
// row; `next` is workspace of n entries.
static RowPattern rowPatternOf(const char* word, const MatrixView& G, const int32_t* degrees, int32_t edges,
                               bool weighted, int32_t* next) {
  const int32_t n = (int32_t)G.n;
  RowPattern P = {workspaceOf<int32_t>(word, (uint64_t)n + 1), workspaceOf<int32_t>(word, (uint64_t)edges),
                  weighted ? workspaceOf<double>(word, (uint64_t)edges) : 0};
  P.starts[0] = 0;
  for (int32_t r = 0; r < n; ++r) P.starts[r + 1] = P.starts[r] + degrees[r];
  for (int32_t r = 0; r < n; ++r) next[r] = P.starts[r];
  for (int32_t j = 0; j < n; ++j) {
    const int32_t end = low32(G.jc[j + 1]);
    for (int32_t k = low32(G.jc[j]); k < end; ++k) {
      if (!isEdge(G, k)) continue;
      const int32_t at = next[low32(G.ir[k])]++;
      P.columns[at] = j;
      if (weighted) P.weights[at] = G.pr ? G.pr[k] : 1.0;
    }
  }
  return P;
}

// Whether the pattern's rows equal G's columns (rows ascending in both), with the same weights
// where there are weights: P is symmetric.
static bool isSymmetric(const MatrixView& G, const RowPattern& P) {
  for (int32_t j = 0; (uint64_t)j < G.n; ++j) {
    int32_t p = P.starts[j];
    const int32_t end = low32(G.jc[j + 1]);
    for (int32_t k = low32(G.jc[j]); k < end; ++k) {
      if (!isEdge(G, k)) continue;
      if (p == P.starts[j + 1] || P.columns[p] != low32(G.ir[k])) return false;
      if (P.weights && P.weights[p] != (G.pr ? G.pr[k] : 1.0)) return false;
      ++p;
    }
    if (p != P.starts[j + 1]) return false;
  }
  return true;
}

// Each node's number for a weighted measure: the sum of its row's weights, or their norm; null
// for a measure of degrees, which are the numbers themselves.
static double* nodeNumbers(const char* word, NodeNumber number, const RowPattern& P, int32_t n) {
  if (number == kEdgesOut) return 0;
  double* numbers = workspaceOf<double>(word, (uint64_t)n);
  for (int32_t r = 0; r < n; ++r) {
    double total = 0.0;
    for (int32_t p = P.starts[r]; p < P.starts[r + 1]; ++p)
      total += number == kWeightNorm ? P.weights[p] * P.weights[p] : P.weights[p];
    numbers[r] = number == kWeightNorm ? squareRoot(total) : total;
  }
  return numbers;
}

// The result's column of node j, or -1.
static int32_t resultColumn(const NeighborPairs& found, int32_t j) {
  return found.resultColumnOf ? found.resultColumnOf[j] : j;
}

// What each node adds to a pair's sum as a common neighbour: 1 / log(d), 0 for a degree of 1
// (Adamic-Adar), or 1 / d (resource allocation). Each distinct degree's logarithm is found once.
static double* middleWeightsOf(const char* word, NeighborSum sum, const int32_t* degrees, int32_t n) {
  double* weights = workspaceOf<double>(word, (uint64_t)n);
  int32_t largest = 0;
  for (int32_t k = 0; k < n; ++k) largest = degrees[k] > largest ? degrees[k] : largest;
  double* byDegree = workspaceOf<double>(word, (uint64_t)largest + 1);
  for (int32_t d = 0; d <= largest; ++d) byDegree[d] = -1.0;
  for (int32_t k = 0; k < n; ++k) {
    double& weight = byDegree[degrees[k]];
    if (weight < 0.0)
      weight = sum == kInverseDegree ? 1.0 / (double)degrees[k] : degrees[k] > 1 ? 1.0 / naturalLog(degrees[k]) : 0.0;
    weights[k] = weight;
  }
  mxFree(byDegree);
  return weights;
}

// The first position of row k's columns that is not below `column`, moved on from where it was.
static int32_t firstFrom(const RowPattern& P, Counts& counts, int32_t k, int32_t column) {
  int32_t p = counts.firstFrom[k];
  while (p < P.starts[k + 1] && P.columns[p] < column) ++p;
  counts.firstFrom[k] = p;
  return p;
}

// The positions of row k's walk from row r: all its columns (not below r for a symmetric
// pattern), or, when `restricted`, those within the result's first and last columns.
static void walkOf(const RowPattern& P, bool symmetric, bool restricted, int32_t r, int32_t k, Counts& counts,
                   int32_t& start, int32_t& end) {
  start = symmetric ? firstFrom(P, counts, k, r) : P.starts[k];
  end = P.starts[k + 1];
  if (!restricted) return;
  start = start > counts.sliceStart[k] ? start : counts.sliceStart[k];
  end = counts.sliceEnd[k];
}

// Whether row r's walks are restricted to the result's columns: always for a pattern that is not
// symmetric, and for a symmetric one when r is no column of the result (its mirror images are not
// wanted), once the result has columns of its own.
static bool restrictedRow(const NeighborPairs& found, int32_t r) {
  return found.resultColumnOf && (!found.symmetric || found.resultColumnOf[r] < 0);
}

// The products of a pass over every column. Row r adds a count for each edge out of every k it
// has an edge to: one for each edge r -> k -> j. Of a symmetric pattern only the columns j >= r
// are counted, d(d+1)/2 through a node of degree d.
static uint64_t wholeProducts(const NeighborPairs& found, const RowPattern& P, const int32_t* degrees) {
  uint64_t products = 0;
  const int32_t n = found.n;
  if (found.symmetric) {
    for (int32_t k = 0; k < n; ++k) products += (uint64_t)degrees[k] * ((uint64_t)degrees[k] + 1) / 2;
    return products;
  }
  for (int32_t p = 0; p < P.starts[n]; ++p) products += (uint64_t)degrees[P.columns[p]];
  return products;
}

// The products of the pass: with result columns of its own, the walks as they will be.
static uint64_t productsOf(const NeighborPairs& found, const RowPattern& P, const int32_t* degrees, Counts& counts) {
  if (!found.request.columns) return wholeProducts(found, P, degrees);
  uint64_t products = 0;
  for (int32_t r = 0; r < found.n; ++r)
    for (int32_t p = P.starts[r]; p < P.starts[r + 1]; ++p) {
      int32_t start, end;
      walkOf(P, found.symmetric, restrictedRow(found, r), r, P.columns[p], counts, start, end);
      products += (uint64_t)(end > start ? end - start : 0);
    }
  for (int32_t k = 0; k < found.n; ++k) counts.firstFrom[k] = P.starts[k];
  return products;
}

// Adds what k adds to the pair of the current row and `column`, listing the column the first time
// it is reached: one to its count, or `added` to its sum.
template <NeighborSum kSum>
static inline void reach(Counts& counts, int32_t column, double added, int32_t& reached) {
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
// ascending order; with `kRestricted`, only the result's columns. Returns how many were listed;
// adds the products to `done`.
template <NeighborSum kSum, bool kRestricted>
static int32_t reachRow(const NeighborPairs& found, const RowPattern& P, int32_t r, Counts& counts, uint64_t& done) {
  const bool symmetric = found.symmetric;
  int32_t reached = 0;
  const int32_t last = P.starts[r + 1];
  // On large graphs the neighbours' positions and columns are far apart in memory: they are
  // fetched ahead, all positions first, then the next neighbour's columns while one is counted.
  if (symmetric)
    for (int32_t p = P.starts[r]; p < last; ++p) prefetchForReading(counts.firstFrom + P.columns[p]);
  for (int32_t p = P.starts[r]; p < last; ++p) {
    const int32_t k = P.columns[p];
    if (symmetric && p + 1 < last) prefetchForReading(P.columns + counts.firstFrom[P.columns[p + 1]]);
    int32_t start, end;
    walkOf(P, symmetric, kRestricted, r, k, counts, start, end);
    const double middle = kSum == kInverseLogDegree || kSum == kInverseDegree ? counts.middleWeights[k] : 0.0;
    const double toK = kSum == kSmallerWeight || kSum == kWeightProduct ? P.weights[p] : 0.0;
    for (int32_t q = start; q < end; ++q) {
      const int32_t column = P.columns[q];
      if (kRestricted && found.resultColumnOf[column] < 0) continue;
      if (kSum == kSmallerWeight) reach<kSum>(counts, column, toK < P.weights[q] ? toK : P.weights[q], reached);
      else if (kSum == kWeightProduct) reach<kSum>(counts, column, toK * P.weights[q], reached);
      else reach<kSum>(counts, column, middle, reached);
    }
    done += (uint64_t)(end > start ? end - start : 0);
  }
  return reached;
}

// reachRow for the measure's sum.
template <bool kRestricted>
static int32_t reachRowOf(const NeighborPairs& found, const RowPattern& P, int32_t r, Counts& counts, uint64_t& done) {
  switch (found.request.measure->sum) {
    case kSharedCount: return reachRow<kSharedCount, kRestricted>(found, P, r, counts, done);
    case kInverseLogDegree: return reachRow<kInverseLogDegree, kRestricted>(found, P, r, counts, done);
    case kInverseDegree: return reachRow<kInverseDegree, kRestricted>(found, P, r, counts, done);
    case kSmallerWeight: return reachRow<kSmallerWeight, kRestricted>(found, P, r, counts, done);
    case kWeightProduct: return reachRow<kWeightProduct, kRestricted>(found, P, r, counts, done);
  }
  return 0;
}

// Gives the pairs room for `needed`, at least doubling it.
static void makeRoom(NeighborPairs& found, Counts& counts, int64_t needed) {
  if (needed <= counts.room) return;
  int64_t room = counts.room < 1024 ? 1024 : 2 * counts.room;
  if (room < needed) room = needed;
  found.pairs = resizedWorkspace(found.request.word, found.pairs, (uint64_t)room);
  if (found.request.measure->sum != kSharedCount)
    found.sums = resizedWorkspace(found.request.word, found.sums, (uint64_t)room);
  counts.room = room;
}

// Sorts a row's kept pairs by column, with their sums when there are sums.
static void sortKept(NeighborPair* kept, double* sums, int32_t count) {
  if (!sums) {
    sortItems(kept, count, [](const NeighborPair& a, const NeighborPair& b) { return a.column < b.column; });
    return;
  }
  // The sums move with their pairs: sorted as one, then put back in place.
  for (int32_t i = 0; i < count; ++i) kept[i].shared = i;
  sortItems(kept, count, [](const NeighborPair& a, const NeighborPair& b) { return a.column < b.column; });
  for (int32_t i = 0; i < count; ++i) {
    // Follows the cycle of the permutation through i once, marking each position placed with -1.
    if (kept[i].shared < 0) continue;
    double carried = sums[i];
    int32_t at = i;
    while (kept[at].shared >= 0 && kept[at].shared != i) {
      const int32_t from = kept[at].shared;
      sums[at] = sums[from];
      kept[at].shared = -1;
      at = from;
    }
    sums[at] = carried;
    kept[at].shared = -1;
  }
  for (int32_t i = 0; i < count; ++i) kept[i].shared = 0;
}

// The number of node r for the measure: its degree, weight total or norm.
static double numberOf(const NeighborPairs& found, int32_t r) {
  return found.numbers ? found.numbers[r] : (double)found.degrees[r];
}

// The value of the pair (r, j) from its count or sum.
static double valueOf(const NeighborPairs& found, int32_t r, int32_t j, int32_t shared, double sum) {
  const double total = found.request.measure->sum == kSharedCount ? (double)shared : sum;
  return found.request.measure->valueOf(total, numberOf(found, r), numberOf(found, j));
}

// The entries of the result the pair (r, j) makes: (r, j) when j is a column of the result, and
// its mirror image (j, r) when the pattern is symmetric, j is not r and r is a column.
static int32_t entriesOf(const NeighborPairs& found, int32_t r, int32_t j) {
  return (resultColumn(found, j) >= 0) + (found.symmetric && j != r && resultColumn(found, r) >= 0);
}

// Whether the pair (r, j) of value `value` may enter the top values of a column it lies in: not
// below the least value of its column or, mirrored, of its row's. Most pairs are turned away here.
static inline bool mightEnter(const NeighborPairs& found, int32_t r, int32_t j, double value) {
  const int32_t column = resultColumn(found, j), mirror = found.symmetric && j != r ? resultColumn(found, r) : -1;
  return (column >= 0 && value >= found.top.bars[column]) || (mirror >= 0 && value >= found.top.bars[mirror]);
}

// Offers the pair (r, j) of value `value` to the columns of the result it lies in.
static inline void offerPair(NeighborPairs& found, int32_t r, int32_t j, double value) {
  if (value != value) return;
  if (resultColumn(found, j) >= 0) offerTop(found.top, resultColumn(found, j), r, value);
  if (found.symmetric && j != r && resultColumn(found, r) >= 0) offerTop(found.top, resultColumn(found, r), j, value);
}

// Whether the pairs of a row are stored with their columns ascending: only where the result has
// columns of its own and its mirror images come from columns it does not have.
static bool sortsRows(const NeighborPairs& found) { return found.symmetric && found.resultColumnOf; }

// keepRow for a measure that counts (kCounted) or sums, of degrees (kOfDegrees) or of weights;
// kPlain where the request keeps every pair above its threshold, the diagonal included, and no top
// values: the loop then tests nothing else.
template <bool kCounted, bool kOfDegrees, bool kPlain>
static int32_t keepRowOf(NeighborPairs& found, int32_t r, Counts& counts, int32_t reached, int64_t& entries) {
  // What the loop reads of the request, in locals: its stores could otherwise change them.
  const NeighborRequest& request = found.request;
  const NeighborValue value = request.measure->valueOf;
  const bool every = !request.thresholded, self = request.self, nonEdgesOnly = request.nonEdgesOnly;
  const bool top = request.topK > 0, plainEntries = !found.symmetric && !found.resultColumnOf;
  const double threshold = request.threshold;
  const int32_t* shared = counts.shared;
  double* sums = counts.sums;
  const int32_t* degrees = found.degrees;
  const double* numbers = found.numbers;
  const double rowNumber = kOfDegrees ? (double)degrees[r] : numbers[r];
  if (!top) makeRoom(found, counts, (int64_t)found.stored + reached);
  NeighborPair* kept = found.pairs + found.stored;
  double* keptSums = kCounted ? 0 : found.sums + found.stored;
  int32_t count = 0;
  for (int32_t i = 0; i < reached; ++i) {
    const int32_t j = counts.reached[i];
    const int32_t pairShared = kCounted ? shared[j] : 0;
    const double sum = kCounted ? (double)pairShared : sums[j];
    if (kCounted) counts.shared[j] = 0;
    else sums[j] = -1.0;
    if (!kPlain && ((!self && j == r) || (nonEdgesOnly && counts.edgeOf[j] == r))) continue;
    const double pairValue = value(sum, rowNumber, kOfDegrees ? (double)degrees[j] : numbers[j]);
    if ((kPlain || !every) && !(pairValue > threshold)) continue;
    if (!kPlain && top) {
      if (mightEnter(found, r, j, pairValue)) offerPair(found, r, j, pairValue);
      continue;
    }
    if (!kCounted) keptSums[count] = sum;
    kept[count++] = NeighborPair{j, pairShared};
    entries += plainEntries ? 1 : entriesOf(found, r, j);
  }
  if (sortsRows(found)) sortKept(kept, keptSums, count);
  return count;
}

// Clears the counts of the reached columns of row r and appends those the request keeps to the
// pairs, or offers them to the top values. Returns how many were kept; adds their entries in the
// result to `entries`.
static int32_t keepRow(NeighborPairs& found, int32_t r, Counts& counts, int32_t reached, int64_t& entries) {
  const NeighborRequest& request = found.request;
  const bool counted = request.measure->sum == kSharedCount, ofDegrees = !found.numbers;
  if (counted && ofDegrees && request.thresholded && request.self && !request.nonEdgesOnly && request.topK == 0)
    return keepRowOf<true, true, true>(found, r, counts, reached, entries);
  if (counted) return ofDegrees ? keepRowOf<true, true, false>(found, r, counts, reached, entries)
                                : keepRowOf<true, false, false>(found, r, counts, reached, entries);
  return ofDegrees ? keepRowOf<false, true, false>(found, r, counts, reached, entries)
                   : keepRowOf<false, false, false>(found, r, counts, reached, entries);
}

// Frees what a pass keeps for storing and marks it as holding nothing.
static void releasePairs(NeighborPairs& found) {
  mxFree(found.pairs);
  mxFree(found.sums);
  mxFree(found.rowEnds);
  mxFree(found.degrees);
  mxFree(found.numbers);
  mxFree(found.resultColumnOf);
  if (found.top.entries) releaseTopValues(found.top);
  found.pairs = 0;
  found.sums = 0;
  found.rowEnds = found.degrees = found.resultColumnOf = 0;
  found.numbers = 0;
  found.stored = found.entries = 0;
}

// Finds the pairs of every row in turn, stopping when the result would pass the limit.
static void findRows(NeighborPairs& found, const RowPattern& P, TenthsProgress& progress, Counts& counts) {
  uint64_t done = 0;
  int64_t entries = 0;
  for (int32_t r = 0; r < found.n; ++r) {
    if (found.request.nonEdgesOnly)
      for (int32_t p = P.starts[r]; p < P.starts[r + 1]; ++p) counts.edgeOf[P.columns[p]] = r;
    const int32_t reached = restrictedRow(found, r) ? reachRowOf<true>(found, P, r, counts, done)
                                                    : reachRowOf<false>(found, P, r, counts, done);
    found.stored += keepRow(found, r, counts, reached, entries);
    if (entries > found.request.limits.maxEntries) {
      found.overflowed = true;
      return;
    }
    found.entries = (int32_t)entries;
    found.rowEnds[r] = found.stored;
    advanceTenths(progress, done);
  }
  if (found.request.topK == 0) return;
  const uint64_t held = topEntries(found.top);
  found.overflowed = held > (uint64_t)found.request.limits.maxEntries;
  found.entries = (int32_t)held;
}

// The result's column of each node when the request has columns of its own: its position in
// them, or -1; null when every node is a column.
static int32_t* resultColumnsOf(const NeighborRequest& request, int32_t n) {
  if (!request.columns) return 0;
  int32_t* columnOf = workspaceOf<int32_t>(request.word, (uint64_t)n);
  for (int32_t j = 0; j < n; ++j) columnOf[j] = -1;
  for (int32_t c = 0; c < request.columnCount; ++c) columnOf[request.columns[c]] = c;
  return columnOf;
}

// The positions in each row of the pattern of the first column not below `first` and of the first
// column above `last`.
static void sliceOf(const RowPattern& P, int32_t n, int32_t first, int32_t last, Counts& counts) {
  for (int32_t k = 0; k < n; ++k) {
    int32_t p = P.starts[k];
    while (p < P.starts[k + 1] && P.columns[p] < first) ++p;
    counts.sliceStart[k] = p;
    while (p < P.starts[k + 1] && P.columns[p] <= last) ++p;
    counts.sliceEnd[k] = p;
  }
}

// Room for each result column's top values: k, or the most pairs its column j can hold, if fewer:
// the paths r -> k -> j, the edges into each k with an edge into j.
static void startTop(NeighborPairs& found, const RowPattern& P) {
  const NeighborRequest& request = found.request;
  const int32_t n = found.n;
  // The edges into each node k, then, for each edge k -> j, those of k added to j's.
  uint64_t* into = zeroedWorkspaceOf<uint64_t>(request.word, (uint64_t)n);
  uint64_t* reachable = zeroedWorkspaceOf<uint64_t>(request.word, (uint64_t)n);
  for (int32_t p = 0; p < P.starts[n]; ++p) ++into[P.columns[p]];
  for (int32_t k = 0; k < n; ++k)
    for (int32_t p = P.starts[k]; p < P.starts[k + 1]; ++p) reachable[P.columns[p]] += into[k];
  int32_t* rooms = workspaceOf<int32_t>(request.word, (uint64_t)request.columnCount);
  for (int32_t c = 0; c < request.columnCount; ++c) {
    const uint64_t most = reachable[request.columns ? request.columns[c] : c];
    rooms[c] = most < (uint64_t)request.topK ? (int32_t)most : request.topK;
  }
  found.top = startTopValues(request.word, request.columnCount, rooms);
  mxFree(rooms);
  mxFree(reachable);
  mxFree(into);
}

// The workspace of the counts of a pass over G's pattern P.
static Counts countsFor(const NeighborPairs& found, const RowPattern& P, const int32_t* degrees) {
  const char* word = found.request.word;
  const NeighborRequest& request = found.request;
  const NeighborSum sum = request.measure->sum;
  const uint64_t n = (uint64_t)found.n;
  Counts counts = {};
  counts.shared = sum == kSharedCount ? zeroedWorkspaceOf<int32_t>(word, n) : 0;
  counts.sums = sum == kSharedCount ? 0 : workspaceOf<double>(word, n);
  for (uint64_t j = 0; counts.sums && j < n; ++j) counts.sums[j] = -1.0;
  counts.reached = workspaceOf<int32_t>(word, n);
  counts.middleWeights = sum == kInverseLogDegree || sum == kInverseDegree ? middleWeightsOf(word, sum, degrees, found.n) : 0;
  counts.firstFrom = workspaceOf<int32_t>(word, n);
  for (int32_t k = 0; k < found.n; ++k) counts.firstFrom[k] = P.starts[k];
  if (request.columns) {
    counts.sliceStart = workspaceOf<int32_t>(word, n);
    counts.sliceEnd = workspaceOf<int32_t>(word, n);
    const bool none = request.columnCount == 0;
    sliceOf(P, found.n, none ? 1 : request.columns[0], none ? 0 : request.columns[request.columnCount - 1], counts);
  }
  if (request.nonEdgesOnly) {
    counts.edgeOf = workspaceOf<int32_t>(word, n);
    for (uint64_t j = 0; j < n; ++j) counts.edgeOf[j] = -1;
  }
  return counts;
}

// Frees the workspace of the counts.
static void releaseCounts(Counts& counts) {
  mxFree(counts.shared);
  mxFree(counts.sums);
  mxFree(counts.reached);
  mxFree(counts.middleWeights);
  mxFree(counts.firstFrom);
  mxFree(counts.sliceStart);
  mxFree(counts.sliceEnd);
  mxFree(counts.edgeOf);
}

NeighborPairs findNeighborPairs(const NeighborRequest& request, const MatrixView& G) {
  const int32_t n = (int32_t)G.n;
  const char* word = request.word;
  NeighborPairs found = {};
  found.request = request;
  found.n = n;
  found.rowEnds = workspaceOf<int32_t>(word, (uint64_t)n);
  found.degrees = zeroedWorkspaceOf<int32_t>(word, (uint64_t)n);
  const int32_t* degrees = found.degrees;
  const int32_t edges = countDegrees(G, found.degrees);
  mexPrintf(request.openingLine, n, edges, request.threshold);
  int32_t* next = workspaceOf<int32_t>(word, (uint64_t)n);
  const RowPattern P = rowPatternOf(word, G, degrees, edges, request.measure->weighted, next);
  mxFree(next);
  found.symmetric = isSymmetric(G, P);
  found.numbers = nodeNumbers(word, request.measure->number, P, n);
  found.resultColumnOf = resultColumnsOf(request, n);
  if (request.topK > 0) startTop(found, P);
  if (request.columns || !findByPrefixes(found, P.starts, P.columns, wholeProducts(found, P, degrees))) {
    Counts counts = countsFor(found, P, degrees);
    const uint64_t products = productsOf(found, P, degrees, counts);
    TenthsProgress progress = startTenths(request.progressLine, products, products >= request.limits.productsShown);
    findRows(found, P, progress, counts);
    releaseCounts(counts);
  }
  mxFree(P.weights);
  mxFree(P.columns);
  mxFree(P.starts);
  if (found.overflowed) releasePairs(found);
  return found;
}

// Sets the column starts of the result and, in `next`, where each column's next entry goes: the
// pairs in row order, each in its column and, mirrored, in its row's.
static void columnStarts(const NeighborPairs& found, uint64_t* jc, int32_t* next) {
  const int32_t columns = found.request.columnCount;
  for (int32_t c = 0; c <= columns; ++c) jc[c] = 0;
  for (int32_t r = 0, k = 0; r < found.n; ++r) {
    for (; k < found.rowEnds[r]; ++k) {
      const int32_t j = found.pairs[k].column;
      if (resultColumn(found, j) >= 0) ++jc[resultColumn(found, j) + 1];
      if (found.symmetric && j != r && resultColumn(found, r) >= 0) ++jc[resultColumn(found, r) + 1];
    }
  }
  int32_t start = 0;
  for (int32_t c = 0; c < columns; ++c) {
    const int32_t entries = (int32_t)jc[c + 1];
    jc[c] = widen(start);
    next[c] = start;
    start += entries;
  }
  jc[columns] = widen(start);
}

// Writes entry (row, column) of `value` at the next free position of its column of the result.
static void put(const SparseView& S, int32_t* next, int32_t column, int32_t row, double value) {
  const int32_t position = next[column]++;
  S.pr[position] = value;
  S.ir[position] = widen(row);
}

// Writes the pairs into their columns, row by row: rows ascend in each column. A symmetric G's
// mirror images come from the rows' sorted pairs, after the column's own.
static void storePairs(const NeighborPairs& found, const SparseView& S, int32_t* next) {
  for (int32_t r = 0, k = 0; r < found.n; ++r) {
    for (; k < found.rowEnds[r]; ++k) {
      const int32_t j = found.pairs[k].column;
      const double value = valueOf(found, r, j, found.pairs[k].shared, found.sums ? found.sums[k] : 0.0);
      if (resultColumn(found, j) >= 0) put(S, next, resultColumn(found, j), r, value);
      if (sortsRows(found) && j != r && resultColumn(found, r) >= 0) put(S, next, resultColumn(found, r), j, value);
    }
  }
}

// The mirror images of a symmetric G's pairs, whose rows are in every column of the result:
// entry (r, j) with r < j gives (j, r), after column r's own pairs and in ascending order of j.
// Column j gets mirror images only from columns after it, so its own pairs still end at next[j]
// when it is read.
static void mirrorPairs(const NeighborPairs& found, const SparseView& S, int32_t* next) {
  for (int32_t j = 0; j < found.n; ++j) {
    const int32_t end = next[j];
    for (int32_t p = low32(S.jc[j]); p < end; ++p) {
      const int32_t r = low32(S.ir[p]);
      if (r != j) put(S, next, r, j, S.pr[p]);
    }
  }
}

// Writes each column's top values, rows ascending.
static void storeTop(NeighborPairs& found, const SparseView& S) {
  int32_t position = 0;
  for (int32_t c = 0; c < found.top.columns; ++c) {
    S.jc[c] = widen(position);
    sortTopByRow(found.top, c);
    const TopEntry* column = found.top.entries + found.top.starts[c];
    for (int32_t i = 0; i < found.top.sizes[c]; ++i, ++position) {
      S.pr[position] = column[i].value;
      S.ir[position] = widen(column[i].row);
    }
  }
  S.jc[found.top.columns] = widen(position);
}

void storeNeighborPairs(NeighborPairs& found, const SparseView& S) {
  if (found.request.topK > 0) {
    storeTop(found, S);
  } else {
    int32_t* next = workspaceOf<int32_t>(found.request.word, (uint64_t)found.request.columnCount + 1);
    columnStarts(found, S.jc, next);
    storePairs(found, S, next);
    if (found.symmetric && !sortsRows(found)) mirrorPairs(found, S, next);
    mxFree(next);
  }
  mexPrintf(found.request.closingLine, found.entries);
  releasePairs(found);
}

NeighborLimits moduleLimits() { return NeighborLimits{(int32_t)kMaxEntries, kProductsPerSecond, kCheaperPass}; }
