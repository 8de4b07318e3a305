// The counting pass, and the choice of pass. Every row r of P is counted, C(r,:) = P(r,:) * P, and
// each pair (r, j) it reaches is kept when the request keeps it: its value v = f(C(r,j), x(r),
// x(j)) by the measure (x a degree, weight total or norm) strictly above the threshold, (r, j) no
// edge for non-edges only, r != j unless the diagonal is kept; with top values, v offered to its
// column's k largest instead. The rows are cut into rounds of about the same work; each round's
// rows are sliced among the workers by their products, each worker keeping its rows' pairs in room
// of its own; between rounds the calling thread appends them in row order, tests the limit of
// entries and prints the tenths done, so that what is found, printed and raised is the same
// whatever the number of workers. Top values are offered rows of fewest neighbours first, so that
// each column's least kept value rises early and most pairs are turned away before its heap.
#include "neighbors/neighbor_pass.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/progress.h"
#include "frame/sorting.h"
#include "frame/threads.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"
#include "neighbors/neighbor_counts.h"
#include "neighbors/neighbor_pattern.h"
#include "neighbors/neighbor_prefixes.h"
#include "neighbors/neighbor_store.h"

// Products of a pass (one count added for a neighbour of a neighbour) that take about a second here.
static const uint64_t kProductsPerSecond = 100000000;

// Work (products, an edge or a row each a unit) worth a thread of its own: a few milliseconds.
static const uint64_t kWorkPerThread = UINT64_C(1) << 21;

// The pairs one worker keeps in a round, before the calling thread appends them to the pass's.
struct RoundPairs {
  NeighborPair* pairs;
  double* sums;
  int64_t room;
  int64_t count;
};

// What the workers of the counting pass share: the pass, read only but for the rows each worker
// finds (their kept counts, in found.rowEnds, and their entries), and each worker's own workspace.
struct CountingWork {
  NeighborPairs* found;
  const CountingPlan* plan;
  const int32_t* order;  // the result rows in the order they are counted; null: ascending
  RowCounts* counts;     // per worker
  RoundPairs* rounds;    // per worker
  TopValues* tops;       // per worker, with top values (the first is found->top)
  double* values;        // per worker, n each, with top values: the values of the row being offered
  int64_t* rowEntries;   // per row: the entries of the result its kept pairs make
  int32_t slices[kMostThreads + 1];  // the rows of each worker in the round under way
};

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

// Whether the pairs of a row are kept with their columns ascending: only where the result has
// columns of its own and its mirror images come from columns it does not have.
static bool sortsRows(const NeighborPairs& found) { return found.symmetric && found.columns.of; }

// keepRow for a measure that counts (kCounted) or sums, of degrees (kOfDegrees) or of weights;
// kPlain where the request keeps every pair above its threshold, the diagonal included, and no top
// values: the loop then tests nothing else.
template <bool kCounted, bool kOfDegrees, bool kPlain>
static int32_t keepRowOf(CountingWork& work, int32_t worker, int32_t i, int32_t r, int32_t reached) {
  // What the loop reads of the request, in locals: its stores could otherwise change them.
  const NeighborPairs& found = *work.found;
  const NeighborRequest& request = found.request;
  const NeighborValue value = request.measure->valueOf;
  const bool every = !request.thresholded, self = request.pairs.self, nonEdgesOnly = request.nonEdgesOnly;
  const bool plainEntries = !found.symmetric && !found.columns.of;
  const bool symmetric = found.symmetric;
  const double threshold = request.pairs.threshold;
  const ResultColumns columns = found.columns;
  RowCounts& counts = work.counts[worker];
  const int32_t* reachedColumns = counts.reached;
  int32_t* shared = counts.shared;
  double* sums = counts.sums;
  const int32_t* edgeOf = counts.edgeOf;
  const int32_t* degrees = found.degrees;
  const double* numbers = found.numbers;
  const double rowNumber = kOfDegrees ? (double)degrees[r] : numbers[r];
  RoundPairs& round = work.rounds[worker];
  NeighborPair* kept = round.pairs + round.count;
  double* keptSums = kCounted ? 0 : round.sums + round.count;
  int32_t count = 0;
  int64_t entries = 0;
  for (int32_t k = 0; k < reached; ++k) {
    const int32_t j = reachedColumns[k];
    const int32_t pairShared = kCounted ? shared[j] : 0;
    const double sum = kCounted ? (double)pairShared : sums[j];
    if (kCounted) shared[j] = 0;
    else sums[j] = -1.0;
    if (!kPlain && ((!self && j == r) || (nonEdgesOnly && edgeOf[j] == r))) continue;
    const double pairValue = value(sum, rowNumber, kOfDegrees ? (double)degrees[j] : numbers[j]);
    if ((kPlain || !every) && !(pairValue > threshold)) continue;
    if (!kCounted) keptSums[count] = sum;
    kept[count++] = NeighborPair{j, pairShared};
    entries += plainEntries ? 1 : pairEntries(columns, symmetric, r, j);
  }
  if (count > 0 && sortsRows(found)) sortKept(kept, keptSums, count);
  work.rowEntries[i] = entries;
  return count;
}

// Clears the counts of the reached columns of node r, the result's row i, and offers their pairs
// to the worker's top values: first each one's value in a loop of its own (NaN where the request
// leaves the pair out, which never enters), then the values the bars of their columns let in.
template <bool kCounted, bool kOfDegrees>
static void offerRowOf(CountingWork& work, int32_t worker, int32_t i, int32_t r, int32_t reached) {
  const NeighborPairs& found = *work.found;
  const NeighborRequest& request = found.request;
  const NeighborValue value = request.measure->valueOf;
  const bool thresholded = request.thresholded, self = request.pairs.self, nonEdgesOnly = request.nonEdgesOnly;
  const double threshold = request.pairs.threshold;
  RowCounts& counts = work.counts[worker];
  const int32_t* reachedColumns = counts.reached;
  const int32_t* degrees = found.degrees;
  const double* numbers = found.numbers;
  const double rowNumber = kOfDegrees ? (double)degrees[r] : numbers[r];
  double* values = work.values + (uint64_t)worker * (uint64_t)found.n;
  for (int32_t k = 0; k < reached; ++k) {
    const int32_t j = reachedColumns[k];
    const double sum = kCounted ? (double)counts.shared[j] : counts.sums[j];
    if (kCounted) counts.shared[j] = 0;
    else counts.sums[j] = -1.0;
    const double pairValue = value(sum, rowNumber, kOfDegrees ? (double)degrees[j] : numbers[j]);
    const bool left = (!self && j == r) || (nonEdgesOnly && counts.edgeOf[j] == r) ||
                      (thresholded && !(pairValue > threshold));
    values[k] = left ? quietNaN() : pairValue;
  }
  TopValues& heaps = work.tops[worker];
  const ResultColumns columns = found.columns;
  const bool symmetric = found.symmetric;
  for (int32_t k = 0; k < reached; ++k) {
    const int32_t j = reachedColumns[k];
    if (mightEnterTop(heaps, columns, symmetric, i, j, values[k])) offerPairToTop(heaps, columns, symmetric, i, j, values[k]);
  }
  work.rowEntries[i] = 0;
}

// Clears the counts of the reached columns of node r, the result's row i, and keeps those the
// request keeps in the worker's round, or offers them to its top values. Returns how many were
// kept; sets the entries they make in the result.
static int32_t keepRow(CountingWork& work, int32_t worker, int32_t i, int32_t r, int32_t reached) {
  const NeighborRequest& request = work.found->request;
  const bool counted = request.measure->sum == kSharedCount, ofDegrees = !work.found->numbers;
  if (request.pairs.topK > 0) {
    if (counted && ofDegrees) offerRowOf<true, true>(work, worker, i, r, reached);
    else if (counted) offerRowOf<true, false>(work, worker, i, r, reached);
    else if (ofDegrees) offerRowOf<false, true>(work, worker, i, r, reached);
    else offerRowOf<false, false>(work, worker, i, r, reached);
    return 0;
  }
  if (counted && ofDegrees && request.thresholded && request.pairs.self && !request.nonEdgesOnly)
    return keepRowOf<true, true, true>(work, worker, i, r, reached);
  if (counted) return ofDegrees ? keepRowOf<true, true, false>(work, worker, i, r, reached)
                                : keepRowOf<true, false, false>(work, worker, i, r, reached);
  return ofDegrees ? keepRowOf<false, true, false>(work, worker, i, r, reached)
                   : keepRowOf<false, false, false>(work, worker, i, r, reached);
}

// Finds the result rows of worker `worker`'s slice of the round: counts each row's node, keeps its
// pairs, and sets how many it kept in found.rowEnds.
static void findSlice(CountingWork& work, int32_t worker) {
  for (int32_t t = work.slices[worker]; t < work.slices[worker + 1]; ++t) {
    const int32_t i = work.order ? work.order[t] : t, r = rowNode(*work.found, i);
    const int32_t reached = countRow(*work.plan, r, work.counts[worker]);
    const int32_t kept = keepRow(work, worker, i, r, reached);
    work.rounds[worker].count += kept;
    work.found->rowEnds[i] = kept;
  }
}

// Gives each worker room for every pair its slice of the round can keep: a row keeps no more pairs
// than the products it walks, nor than there are nodes.
static void roomForRound(CountingWork& work, int32_t workers, const uint64_t* productsBefore) {
  const NeighborPairs& found = *work.found;
  const bool summed = found.request.measure->sum != kSharedCount;
  for (int32_t w = 0; w < workers; ++w) {
    int64_t most = 0;
    for (int32_t i = work.slices[w]; i < work.slices[w + 1]; ++i) {
      const uint64_t products = productsBefore[i + 1] - productsBefore[i];
      most += products < (uint64_t)found.n ? (int64_t)products : found.n;
    }
    RoundPairs& round = work.rounds[w];
    round.count = 0;
    if (most <= round.room) continue;
    // What a round holds is appended before the next: no copy of it is needed.
    mxFree(round.pairs);
    mxFree(round.sums);
    round.pairs = 0;
    round.sums = 0;
    round.room = most > 2 * round.room ? most : 2 * round.room;
    round.pairs = workspaceOf<NeighborPair>(found.request.pairs.word, (uint64_t)round.room);
    if (summed) round.sums = workspaceOf<double>(found.request.pairs.word, (uint64_t)round.room);
  }
}

// Gives the pass's pairs room for `needed`, at least doubling it, and at least `expected`.
static void makeRoom(NeighborPairs& found, int64_t& room, int64_t needed, int64_t expected) {
  if (needed <= room) return;
  int64_t grown = room < 1024 ? 1024 : 2 * room;
  if (grown < needed) grown = needed;
  if (grown < expected) grown = expected;
  found.pairs = resizedWorkspace(found.request.pairs.word, found.pairs, (uint64_t)grown);
  if (found.request.measure->sum != kSharedCount)
    found.sums = resizedWorkspace(found.request.pairs.word, found.sums, (uint64_t)grown);
  room = grown;
}

// Appends the pairs each worker kept in the round, worker after worker (row order), each worker
// copying its own. The room grows to what the pairs kept so far say the whole pass keeps, `done`
// of its `work` being done.
static void appendRound(NeighborPairs& found, CountingWork& work, int32_t workers, int64_t& room, uint64_t done,
                        uint64_t whole) {
  int64_t starts[kMostThreads + 1];
  starts[0] = found.stored;
  for (int32_t w = 0; w < workers; ++w) starts[w + 1] = starts[w] + work.rounds[w].count;
  const double share = done > 0 ? (double)whole / (double)done : 1.0;
  const double expected = 1.125 * share * (double)starts[workers];
  makeRoom(found, room, starts[workers], expected < (double)INT32_MAX ? (int64_t)expected : INT32_MAX);
  auto copy = [&](int32_t worker) {
    const RoundPairs& round = work.rounds[worker];
    for (int64_t k = 0, at = starts[worker]; k < round.count; ++k, ++at) {
      found.pairs[at] = round.pairs[k];
      if (found.sums) found.sums[at] = round.sums[k];
    }
  };
  runEachWorker(copy, workers);
}

// Goes through the round's result rows first to past-1 in order: their kept pairs' ends and the entries
// of the result so far, stopping at the row that takes them past the limit. Returns the row it
// stopped before (past, or the row that passed the limit).
static int32_t settleRound(NeighborPairs& found, const CountingWork& work, int32_t first, int32_t past,
                           int64_t& entries) {
  for (int32_t i = first; i < past; ++i) {
    entries += work.rowEntries[i];
    if (entries > (int64_t)found.request.pairs.maxEntries) {
      found.overflowed = true;
      return i;
    }
    found.stored += found.rowEnds[i];
    found.rowEnds[i] = found.stored;
  }
  found.entries = (int32_t)entries;
  return past;
}

// The workspace of `workers` workers; each worker's own top values are like found.top.
static void startWorkers(CountingWork& work, int32_t workers) {
  NeighborPairs& found = *work.found;
  const char* word = found.request.pairs.word;
  work.counts = workspaceOf<RowCounts>(word, (uint64_t)workers);
  work.rounds = workspaceOf<RoundPairs>(word, (uint64_t)workers);
  work.tops = workspaceOf<TopValues>(word, (uint64_t)workers);
  for (int32_t w = 0; w < workers; ++w) work.counts[w] = RowCounts{};
  for (int32_t w = 0; w < workers; ++w) work.rounds[w] = RoundPairs{0, 0, 0, 0};
  for (int32_t w = 0; w < workers; ++w) work.tops[w] = TopValues{};
  for (int32_t w = 0; w < workers; ++w) work.counts[w] = startRowCounts(word, *work.plan, found.request.nonEdgesOnly);
  if (found.request.pairs.topK == 0) return;
  work.values = workspaceOf<double>(word, (uint64_t)workers * (uint64_t)found.n + 1);
  work.tops[0] = found.top;
  for (int32_t w = 1; w < workers; ++w) work.tops[w] = startTopValuesLike(word, found.top);
}

// Merges every worker's top values into the first's, the columns sliced among the workers.
static void mergeTops(CountingWork& work, int32_t workers) {
  const int32_t columns = work.found->top.columns;
  int32_t slices[kMostThreads + 1];
  sliceByCost([](int32_t c) { return (uint64_t)c; }, 0, columns, workers, slices);
  auto merge = [&](int32_t worker) {
    for (int32_t w = 1; w < workers; ++w) mergeTopValues(work.tops[0], work.tops[w], slices[worker], slices[worker + 1]);
  };
  runEachWorker(merge, workers);
  work.found->top = work.tops[0];
}

// Frees the workers' workspace.
static void releaseWorkers(CountingWork& work, int32_t workers) {
  for (int32_t w = 0; w < workers; ++w) {
    releaseRowCounts(work.counts[w]);
    mxFree(work.rounds[w].pairs);
    mxFree(work.rounds[w].sums);
    if (w > 0 && work.tops[w].entries) releaseTopValues(work.tops[w]);
  }
  mxFree(work.counts);
  mxFree(work.rounds);
  mxFree(work.tops);
  mxFree(work.values);
}

// The result rows in the order top values are offered their pairs, and their nodes: rows of fewest
// neighbours first, whose values are mostly the largest (a value over what the nodes hold falls as
// the row's degree grows), by row where degrees are equal. Each column's least kept value then
// rises early, and most later pairs are turned away before its heap. Null for a measure whose
// values are sums, which grow with the degrees but tie often: in ascending rows a tie is turned
// away at once, as ties go to the smaller row.
static int32_t* topOrder(const NeighborPairs& found, const RowPattern& A, int32_t*& nodes) {
  if (found.request.pairs.topK == 0 || valuesAreSums(*found.request.measure)) return 0;
  const char* word = found.request.pairs.word;
  const int32_t rows = found.rowCount;
  const auto degreeOf = [&](int32_t i) { return A.starts[rowNode(found, i) + 1] - A.starts[rowNode(found, i)]; };
  int32_t most = 0;
  for (int32_t i = 0; i < rows; ++i) most = degreeOf(i) > most ? degreeOf(i) : most;
  int32_t* firstOf = zeroedWorkspaceOf<int32_t>(word, (uint64_t)most + 2);
  int32_t* order = workspaceOf<int32_t>(word, (uint64_t)rows + 1);
  nodes = workspaceOf<int32_t>(word, (uint64_t)rows + 1);
  orderByKey(rows, most, degreeOf, firstOf, order);
  for (int32_t t = 0; t < rows; ++t) nodes[t] = rowNode(found, order[t]);
  mxFree(firstOf);
  return order;
}

// Finds the pairs of every result row, round after round, stopping when the result would pass the
// limit. Top values take the rows in the order of topOrder.
static void countAllRows(NeighborPairs& found, CountingPlan& plan, CallThreads& threads) {
  const char* word = found.request.pairs.word;
  const int32_t rows = found.rowCount;
  int32_t* orderedNodes = 0;
  int32_t* order = topOrder(found, *plan.A, orderedNodes);
  if (order) countInAnyOrder(word, plan);
  const uint64_t* productsBefore = productsBeforeRows(word, plan, order ? orderedNodes : found.rowNodes, rows);
  // The work of a row: its products, and a unit for it and for each of its neighbours.
  uint64_t* workBefore = workspaceOf<uint64_t>(word, (uint64_t)rows + 1);
  workBefore[0] = 0;
  for (int32_t i = 0; i < rows; ++i) {
    const int32_t r = order ? orderedNodes[i] : rowNode(found, i);
    workBefore[i + 1] = workBefore[i] + productsBefore[i + 1] - productsBefore[i] + 1 +
                        (uint64_t)(plan.A->starts[r + 1] - plan.A->starts[r]);
  }
  const auto costBefore = [workBefore](int32_t i) { return workBefore[i]; };
  const uint64_t products = productsBefore[rows], work = workBefore[rows];
  const int32_t workers = threadsFor(threads, work, found.request.limits.workPerThread);
  TenthsProgress progress = startTenths(found.request.pairs.progressLine, products,
                                        products >= found.request.limits.productsShown);
  CountingWork shared = {&found, &plan, order, 0, 0, 0, 0, 0, {}};
  shared.rowEntries = workspaceOf<int64_t>(word, (uint64_t)rows + 1);
  startWorkers(shared, workers);
  // A round's work bounds the pairs its workers keep; top values keep none.
  const uint64_t roundWork = roundWorkOf(work, found.request.limits.workPerThread, found.request.pairs.topK == 0);
  int64_t entries = 0, room = 0;
  for (int32_t first = 0; first < rows && !found.overflowed;) {
    const int32_t past = roundEnd(costBefore, first, rows, roundWork);
    sliceByCost(costBefore, first, past, workers, shared.slices);
    if (found.request.pairs.topK == 0) roomForRound(shared, workers, productsBefore);
    auto find = [&shared](int32_t worker) { findSlice(shared, worker); };
    runEachWorker(find, workers);
    if (found.request.pairs.topK == 0) appendRound(found, shared, workers, room, workBefore[past], work);
    // Top values keep no pairs: their entries are counted once all are offered.
    const int32_t settled = order ? past : settleRound(found, shared, first, past, entries);
    advanceTenths(progress, productsBefore[settled]);
    first = past;
  }
  mxFree(workBefore);
  if (found.request.pairs.topK > 0) mergeTops(shared, workers);
  releaseWorkers(shared, workers);
  mxFree(shared.rowEntries);
  mxFree((void*)productsBefore);
  mxFree(order);
  mxFree(orderedNodes);
  if (found.request.pairs.topK == 0 || found.overflowed) return;
  const uint64_t held = topEntries(found.top);
  found.overflowed = held > found.request.pairs.maxEntries;
  found.entries = (int32_t)held;
}

// Room for each result column's top values: k, or the most pairs its column j can hold, if fewer:
// the entries (r, k) of A with an entry (k, j) of B, counted as the entries of A's column k.
static void startTop(NeighborPairs& found, const RowPattern& A, const RowPattern& B) {
  const PairRequest& request = found.request.pairs;
  // The entries of A's column k, then, for each entry (k, j) of B, those of k added to j's.
  uint64_t* into = zeroedWorkspaceOf<uint64_t>(request.word, (uint64_t)B.n + 1);
  uint64_t* reachable = zeroedWorkspaceOf<uint64_t>(request.word, (uint64_t)A.n + 1);
  for (int32_t p = 0; p < A.starts[A.n]; ++p) ++into[A.columns[p]];
  for (int32_t k = 0; k < B.n; ++k)
    for (int32_t p = B.starts[k]; p < B.starts[k + 1]; ++p) reachable[B.columns[p]] += into[k];
  int32_t* rooms = workspaceOf<int32_t>(request.word, (uint64_t)request.columnCount + 1);
  for (int32_t c = 0; c < request.columnCount; ++c) {
    uint64_t most = reachable[request.columns ? request.columns[c] : c];
    most = most < (uint64_t)found.rowCount ? most : (uint64_t)found.rowCount;
    rooms[c] = most < (uint64_t)request.topK ? (int32_t)most : request.topK;
  }
  found.top = startTopValues(request.word, request.columnCount, rooms);
  mxFree(rooms);
  mxFree(reachable);
  mxFree(into);
}

// The pass over patterns made: the pairs of C = A * B that the request keeps, `symmetric` where C
// is (and no rows of its own are asked), non-edges tested against `edges`; `found` holds the
// request, its rows and degrees' room.
static void findPairsIn(NeighborPairs& found, const RowPattern& A, const RowPattern& B, const RowPattern& edges,
                        bool symmetric, CallThreads& threads) {
  const NeighborRequest& request = found.request;
  const char* word = request.pairs.word;
  found.symmetric = !request.rows && symmetric;
  rowCounts(A, found.degrees);
  found.numbers = nodeNumbers(word, request.measure->number, A);
  found.columns = resultColumnsOf(request.pairs, 0, found.n);
  if (request.pairs.topK > 0) startTop(found, A, B);
  int32_t* middleDegrees = workspaceOf<int32_t>(word, (uint64_t)B.n + 1);
  rowCounts(B, middleDegrees);
  double* middleWeights = middleWeightsOf(word, request.measure->sum, middleDegrees, B.n);
  mxFree(middleDegrees);
  CountingPlan plan = countingPlanOf(word, A, B, edges, request.measure->sum, found.symmetric, found.columns,
                                     request.pairs, middleWeights);
  if (request.pairs.columns || request.rows || !findByPrefixes(found, A, wholeProducts(plan), threads))
    countAllRows(found, plan, threads);
  releaseCountingPlan(plan);
  mxFree(middleWeights);
  found.threads = threads;
}

// A pass's start: the request, its result's rows and room for each node's degree.
static NeighborPairs startPass(const NeighborRequest& request, int32_t n) {
  NeighborPairs found = {};
  found.request = request;
  found.n = n;
  found.rowCount = request.rows ? request.rowCount : n;
  found.rowNodes = request.rows;
  found.rowEnds = workspaceOf<int32_t>(request.pairs.word, (uint64_t)found.rowCount + 1);
  found.degrees = zeroedWorkspaceOf<int32_t>(request.pairs.word, (uint64_t)n + 1);
  return found;
}

NeighborPairs findNeighborPairs(const NeighborRequest& request, const MatrixView& G) {
  const int32_t n = (int32_t)G.n;
  const char* word = request.pairs.word;
  CallThreads threads = {request.pairs.threads, 0};
  NeighborPairs found = startPass(request, n);
  const int32_t edges = countDegrees(G, found.degrees);
  mexPrintf(request.openingLine, n, edges, request.pairs.threshold);
  // Transposing G: a few units of work an entry, each place written far from the last.
  const uint64_t stored = 8 * (uint64_t)low32(G.jc[n]) + (uint64_t)n;
  const int32_t fixedWorkers = threadsFor(threads, stored, request.limits.workPerThread);
  DirectedPatterns patterns = {};
  patterns.P = rowPatternOf(word, G, found.degrees, request.measure->weighted, fixedWorkers);
  directedPatternsOf(word, G, request.direction, request.measure->weighted, false, patterns, fixedWorkers);
  // Every direction but the paths counts the neighbours of both nodes alike: C is symmetric. With
  // rows of its own the pass walks each row whole, as it would a directed G's, and never asks.
  const bool symmetric = !request.rows && (request.direction != kPaths || isSymmetric(G, patterns.P, fixedWorkers));
  findPairsIn(found, *patterns.A, *patterns.B, *patterns.edges, symmetric, threads);
  releaseDirectedPatterns(patterns);
  if (found.overflowed) releaseNeighborPairs(found);
  return found;
}

NeighborPairs findPairsOfPatterns(const NeighborRequest& request, const RowPattern& A, const RowPattern& B) {
  CallThreads threads = {request.pairs.threads, 0};
  NeighborPairs found = startPass(request, A.n);
  findPairsIn(found, A, B, A, true, threads);
  if (found.overflowed) releaseNeighborPairs(found);
  return found;
}

NeighborLimits moduleLimits() { return NeighborLimits{kProductsPerSecond, kCheaperPass, kWorkPerThread}; }
