#include "attributes/attribute_rows.h"

#include "attributes/attribute_bits.h"
#include "frame/host.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"

// The rows one worker kept in a round, before the calling thread appends them.
struct RoundRows {
  SimilarRow* rows;
  uint64_t room;
  uint64_t count;
};

// What the workers of the row pass share: the pass, read only but for the rows each finds (their
// kept counts, in found.rowEnds), and each worker's own workspace.
struct RowWork {
  AttributePairs* found;
  RoundRows* rounds;  // per worker
  TopValues* tops;    // per worker, with top values (the first is found->top)
  double* bars;       // per worker, with top values: the bar of each list position's column
  int32_t slices[kMostThreads + 1];
};

// The list position of each result row's node, or -1 where it is not listed.
static int32_t* rowPositionsOf(const AttributePairs& found) {
  const AttributeRequest& request = found.request;
  int32_t* positions = workspaceOf<int32_t>(request.pairs.word, (uint64_t)request.rowCount + 1);
  // Both lists ascend: one walk through the listed nodes places every row.
  for (int32_t i = 0, p = 0; i < request.rowCount; ++i) {
    while ((uint64_t)p < found.listed && found.nodes[p] < request.rows[i]) ++p;
    positions[i] = (uint64_t)p < found.listed && found.nodes[p] == request.rows[i] ? p : -1;
  }
  return positions;
}

// Finds the rows of worker `worker`'s slice of the round: each row's pairs with the result's
// columns, kept in the worker's round (their count in found.rowEnds) or offered to its top values.
static void findRowSlice(RowWork& work, int32_t worker) {
  AttributePairs& found = *work.found;
  const bool top = found.request.pairs.topK > 0;
  RoundRows& round = work.rounds[worker];
  // Top values search with the worker's own bars: a pair below its column's is not found.
  RowSearch search = found.search;
  double* bars = top ? work.bars + (uint64_t)worker * paddedRows(found.listed) : 0;
  search.bars = bars;
  for (int32_t i = work.slices[worker]; i < work.slices[worker + 1]; ++i) {
    const int32_t q = found.rowPositions[i];
    uint64_t kept = 0;
    SimilarRow* rows = round.rows + (top ? 0 : round.count);
    const uint64_t count = q < 0 ? 0 : similarRows(search, (uint64_t)q, 0, found.listed, rows);
    for (uint64_t k = 0; k < count; ++k) {
      const int32_t column = columnOfNode(found.columns, (int32_t)rows[k].row);
      if (column < 0) continue;
      if (!top) {
        rows[kept++] = rows[k];
        continue;
      }
      offerTop(work.tops[worker], column, i, pairValue(found, (uint64_t)q, rows[k]));
      refreshPositionBar(bars, work.tops[worker], found.columns, rows[k].row);
    }
    round.count += kept;
    found.rowEnds[i] = (int64_t)kept;
  }
}

// Gives each worker room for every row its slice of the round can find (one row's, for top
// values, which are offered at once).
static void roomForRound(RowWork& work, int32_t workers) {
  const AttributePairs& found = *work.found;
  const uint64_t perRow = found.listed + kInterleavedRows;
  for (int32_t w = 0; w < workers; ++w) {
    const uint64_t rows = (uint64_t)(work.slices[w + 1] - work.slices[w]);
    const uint64_t most = found.request.pairs.topK > 0 ? perRow : rows * perRow;
    RoundRows& round = work.rounds[w];
    round.count = 0;
    if (most <= round.room) continue;
    mxFree(round.rows);
    round.rows = 0;
    round.room = most > 2 * round.room ? most : 2 * round.room;
    round.rows = workspaceOf<SimilarRow>(found.request.pairs.word, round.room);
  }
}

// Appends the rows each worker kept in the round, worker after worker, and turns their counts into
// ends; returns the row before which the pairs pass `limit` (past when they do not).
static int32_t settleRound(RowWork& work, int32_t workers, int32_t first, int32_t past, uint64_t& room,
                           uint64_t limit) {
  AttributePairs& found = *work.found;
  uint64_t stored = found.entries;
  for (int32_t w = 0; w < workers; ++w) stored += work.rounds[w].count;
  if (stored > room) {
    room = stored > 2 * room ? stored : 2 * room;
    found.rowPairs = resizedWorkspace(found.request.pairs.word, found.rowPairs, room + 1);
  }
  for (int32_t w = 0; w < workers; ++w)
    for (uint64_t k = 0; k < work.rounds[w].count; ++k) found.rowPairs[found.entries++] = work.rounds[w].rows[k];
  int64_t end = first > 0 ? found.rowEnds[first - 1] : 0;
  for (int32_t i = first; i < past; ++i) {
    end += found.rowEnds[i];
    found.rowEnds[i] = end;
    if ((uint64_t)end > limit) return i;
  }
  return past;
}

void findAttributeRows(AttributePairs& found) {
  const AttributeRequest& request = found.request;
  const char* word = request.pairs.word;
  const int32_t rows = request.rowCount;
  found.rowPositions = rowPositionsOf(found);
  found.rowEnds = zeroedWorkspaceOf<int64_t>(word, (uint64_t)rows + 1);
  found.rowPairs = workspaceOf<SimilarRow>(word, 1);
  // Every row searches every listed node: the same work each.
  const uint64_t perRow = found.listed * found.search.words + 1;
  const auto costBefore = [perRow](int32_t i) { return (uint64_t)i * perRow; };
  const int32_t workers = threadsFor(found.threads, costBefore(rows), request.workPerThread);
  RowWork work = {&found, 0, 0, 0, {}};
  work.rounds = workspaceOf<RoundRows>(word, (uint64_t)workers);
  work.tops = workspaceOf<TopValues>(word, (uint64_t)workers);
  for (int32_t w = 0; w < workers; ++w) work.rounds[w] = RoundRows{0, 0, 0};
  for (int32_t w = 0; w < workers; ++w) work.tops[w] = TopValues{};
  if (request.pairs.topK > 0) {
    work.tops[0] = found.top;
    for (int32_t w = 1; w < workers; ++w) work.tops[w] = startTopValuesLike(word, found.top);
    work.bars = startPositionBars(found, workers);
  }
  const uint64_t roundWork = roundWorkOf(costBefore(rows), request.workPerThread, true);
  uint64_t room = 0;
  found.entries = 0;
  for (int32_t first = 0; first < rows && !found.overflowed;) {
    const int32_t past = roundEnd(costBefore, first, rows, roundWork);
    sliceByCost(costBefore, first, past, workers, work.slices);
    roomForRound(work, workers);
    auto find = [&work](int32_t worker) { findRowSlice(work, worker); };
    runEachWorker(find, workers);
    const int32_t settled = settleRound(work, workers, first, past, room, request.pairs.maxEntries);
    found.overflowed = settled < past;
    advanceTenths(found.progress, (uint64_t)(found.overflowed ? settled + 1 : past));
    first = past;
  }
  if (request.pairs.topK > 0) {
    for (int32_t w = 1; w < workers; ++w) mergeTopValues(work.tops[0], work.tops[w], 0, found.top.columns);
    found.top = work.tops[0];
    found.entries = topEntries(found.top);
    found.overflowed = found.entries > request.pairs.maxEntries;
  }
  for (int32_t w = 0; w < workers; ++w) {
    mxFree(work.rounds[w].rows);
    if (w > 0 && work.tops[w].entries) releaseTopValues(work.tops[w]);
  }
  mxFree(work.rounds);
  mxFree(work.tops);
  mxFree(work.bars);
}

void storeAttributeRows(AttributePairs& found, const SparseView& S) {
  const char* word = found.request.pairs.word;
  const int32_t rows = found.request.rowCount, columns = found.request.pairs.columnCount;
  if (found.request.pairs.topK > 0)
    return storeTopValues(word, found.top, 0, S, threadsFor(found.threads, found.entries, found.request.workPerThread));
  // Each column's entries, then its next free place, filled in row order.
  uint64_t* next = zeroedWorkspaceOf<uint64_t>(word, (uint64_t)columns + 1);
  for (uint64_t k = 0; k < found.entries; ++k) ++next[columnOfNode(found.columns, (int32_t)found.rowPairs[k].row)];
  cumulativeStarts(S.jc, next, columns);
  for (int32_t i = 0, k = 0; i < rows; ++i) {
    const uint64_t q = (uint64_t)found.rowPositions[i];
    for (; k < found.rowEnds[i]; ++k) {
      const SimilarRow& pair = found.rowPairs[k];
      const uint64_t at = next[columnOfNode(found.columns, (int32_t)pair.row)]++;
      S.ir[at] = widen(i);
      S.pr[at] = pairValue(found, q, pair);
    }
  }
  mxFree(next);
}
