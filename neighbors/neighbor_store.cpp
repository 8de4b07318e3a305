// Column c of S holds, rows ascending: first its own entries, S(r, j) = v for every kept pair (r, j)
// whose column j is c's node, the rows r in row order; then, for a symmetric G, the mirror images
// S(j, r) = v of the pairs (r, j) of c's own row r, j != r, their rows j > r ascending. The rows are
// sliced among workers by their pairs: each worker counts its rows' own entries per column, the
// column starts follow by a cumulative sum with each worker's place within every column, and each
// worker writes its rows' entries there and each row's mirror images into the row's own column,
// the row's pairs sorted by column first where they were kept in the order they were reached.
#include "neighbors/neighbor_store.h"

#include "frame/host.h"
#include "frame/sorting.h"
#include "frame/threads.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"

// The number of node r for the measure: its degree, weight total or norm.
static double numberOf(const NeighborPairs& found, int32_t r) {
  return found.numbers ? found.numbers[r] : (double)found.degrees[r];
}

// The value of the pair (r, j) from its count or sum.
static double valueOf(const NeighborPairs& found, int32_t r, int32_t j, int32_t shared, double sum) {
  const double total = found.request.measure->sum == kSharedCount ? (double)shared : sum;
  return found.request.measure->valueOf(total, numberOf(found, r), numberOf(found, j));
}

// The first pair of result row i.
static int32_t rowStart(const NeighborPairs& found, int32_t i) { return i > 0 ? found.rowEnds[i - 1] : 0; }

// What the workers of the storing share: the pairs, the result, and each worker's rows and
// counts, which become the positions where its next entry of each column goes.
struct StoreWork {
  NeighborPairs* found;
  const SparseView* S;
  uint64_t* places;  // workers x columns: a worker's own entries of each column, then where its next goes
  uint64_t* mirrorPlace;  // per column: where its next mirror image goes
  int32_t columns;
  int32_t slices[kMostThreads + 1];
};

// Counts the own entries of each column that worker `worker`'s rows make.
static void countOwn(StoreWork& work, int32_t worker) {
  const NeighborPairs& found = *work.found;
  uint64_t* counts = work.places + (uint64_t)worker * (uint64_t)work.columns;
  for (int32_t c = 0; c < work.columns; ++c) counts[c] = 0;
  for (int32_t k = rowStart(found, work.slices[worker]); k < rowStart(found, work.slices[worker + 1]); ++k) {
    const int32_t column = columnOfNode(found.columns, found.pairs[k].column);
    if (column >= 0) ++counts[column];
  }
}

// Whether each row's pairs were kept with their columns ascending: a symmetric G whose result has
// columns of its own.
static bool sortsRows(const NeighborPairs& found) { return found.symmetric && found.columns.of; }

// Sorts a row's pairs by column, with their sums when there are sums.
static void sortRow(NeighborPair* pairs, double* sums, int32_t count) {
  const auto byColumn = [](const NeighborPair& a, const NeighborPair& b) { return a.column < b.column; };
  if (!sums) return sortItems(pairs, count, byColumn);
  // The sums move with their pairs: sorted as one, then put back in place.
  for (int32_t i = 0; i < count; ++i) pairs[i].shared = i;
  sortItems(pairs, count, byColumn);
  for (int32_t i = 0; i < count; ++i) {
    // Follows the cycle of the permutation through i once, marking each position placed with -1.
    if (pairs[i].shared < 0) continue;
    const double carried = sums[i];
    int32_t at = i;
    while (pairs[at].shared >= 0 && pairs[at].shared != i) {
      const int32_t from = pairs[at].shared;
      sums[at] = sums[from];
      pairs[at].shared = -1;
      at = from;
    }
    sums[at] = carried;
    pairs[at].shared = -1;
  }
  for (int32_t i = 0; i < count; ++i) pairs[i].shared = 0;
}

// Writes the entries of worker `worker`'s rows: each pair in its column at the worker's place
// there, and, for a symmetric G, the row's mirror images in its own column, ascending.
static void writeRows(StoreWork& work, int32_t worker) {
  NeighborPairs& found = *work.found;
  const SparseView& S = *work.S;
  uint64_t* places = work.places + (uint64_t)worker * (uint64_t)work.columns;
  for (int32_t i = work.slices[worker]; i < work.slices[worker + 1]; ++i) {
    // Result row i is node r's; with rows of its own there is no mirror image.
    const int32_t r = rowNode(found, i), first = rowStart(found, i), end = found.rowEnds[i];
    const int32_t mirror = found.symmetric ? columnOfNode(found.columns, r) : -1;
    if (mirror >= 0 && !sortsRows(found)) sortRow(found.pairs + first, found.sums ? found.sums + first : 0, end - first);
    for (int32_t k = first; k < end; ++k) {
      const int32_t j = found.pairs[k].column;
      const double value = valueOf(found, r, j, found.pairs[k].shared, found.sums ? found.sums[k] : 0.0);
      const int32_t column = columnOfNode(found.columns, j);
      if (column >= 0) {
        const uint64_t at = places[column]++;
        S.ir[at] = widen(i);
        S.pr[at] = value;
      }
      if (mirror >= 0 && j != r) {
        const uint64_t at = work.mirrorPlace[mirror]++;
        S.ir[at] = widen(j);
        S.pr[at] = value;
      }
    }
  }
}

// The column starts of S, and the place of each worker's own entries and of the mirror images
// within every column: every worker's own entries in worker order, then the mirror images.
static void placeEntries(StoreWork& work, int32_t workers) {
  const NeighborPairs& found = *work.found;
  const uint64_t columns = (uint64_t)work.columns;
  uint64_t* entries = work.mirrorPlace;
  for (uint64_t c = 0; c < columns; ++c) entries[c] = 0;
  if (found.symmetric)
    for (int32_t r = 0; r < found.n; ++r) {
      const int32_t mirror = columnOfNode(found.columns, r);
      if (mirror < 0) continue;
      const int32_t first = rowStart(found, r);
      int32_t images = found.rowEnds[r] - first;
      for (int32_t k = first; k < found.rowEnds[r]; ++k) images -= found.pairs[k].column == r;
      entries[mirror] = (uint64_t)images;
    }
  for (uint64_t c = 0; c < columns; ++c)
    for (int32_t w = 0; w < workers; ++w) entries[c] += work.places[(uint64_t)w * columns + c];
  cumulativeStarts(work.S->jc, entries, work.columns);
  for (uint64_t c = 0; c < columns; ++c) {
    uint64_t at = work.S->jc[c];
    for (int32_t w = 0; w < workers; ++w) {
      uint64_t& place = work.places[(uint64_t)w * columns + c];
      const uint64_t own = place;
      place = at;
      at += own;
    }
    work.mirrorPlace[c] = at;
  }
}

// Writes the pairs, the rows sliced among the workers by their pairs.
static void storePairs(NeighborPairs& found, const SparseView& S) {
  const char* word = found.request.pairs.word;
  StoreWork work = {&found, &S, 0, 0, found.request.pairs.columnCount, {}};
  const int32_t workers = threadsFor(found.threads, (uint64_t)found.stored + (uint64_t)found.rowCount,
                                     found.request.limits.workPerThread);
  work.places = workspaceOf<uint64_t>(word, (uint64_t)workers * (uint64_t)work.columns + 1);
  work.mirrorPlace = workspaceOf<uint64_t>(word, (uint64_t)work.columns + 1);
  const int32_t* rowEnds = found.rowEnds;
  sliceByCost([rowEnds](int32_t i) { return (i > 0 ? (uint64_t)rowEnds[i - 1] : 0) + (uint64_t)i; }, 0, found.rowCount,
              workers, work.slices);
  auto count = [&work](int32_t worker) { countOwn(work, worker); };
  runEachWorker(count, workers);
  placeEntries(work, workers);
  auto write = [&work](int32_t worker) { writeRows(work, worker); };
  runEachWorker(write, workers);
  mxFree(work.mirrorPlace);
  mxFree(work.places);
}

void storeNeighborPairs(NeighborPairs& found, const SparseView& S) {
  if (found.request.pairs.topK > 0)
    storeTopValues(found.request.pairs.word, found.top, 0, S,
                   threadsFor(found.threads, topEntries(found.top), found.request.limits.workPerThread));
  else storePairs(found, S);
  mexPrintf(found.request.pairs.closingLine, found.entries);
  releaseNeighborPairs(found);
}

void releaseNeighborPairs(NeighborPairs& found) {
  mxFree(found.pairs);
  mxFree(found.sums);
  mxFree(found.rowEnds);
  mxFree(found.degrees);
  mxFree(found.numbers);
  mxFree((void*)found.columns.of);
  if (found.top.entries) releaseTopValues(found.top);
  found.pairs = 0;
  found.sums = 0;
  found.rowEnds = found.degrees = 0;
  found.columns.of = 0;
  found.numbers = 0;
  found.stored = found.entries = 0;
}
