#include "attributes/attribute_pairs.h"

#include "attributes/attribute_bits.h"
#include "attributes/attribute_rows.h"
#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"

bool isGeneral(const AttributePairs& found) { return found.columns.of || found.request.pairs.topK > 0; }

uint64_t findRows(const AttributePairs& found, const RowSearch& search, uint64_t column, SimilarRow* rows) {
  if (columnOfNode(found.columns, (int32_t)column) >= 0) return similarRows(search, column, column, found.listed, rows);
  const uint64_t from = found.firstColumn > column ? found.firstColumn : column;
  const uint64_t count = similarRows(search, column, from, found.pastColumns, rows);
  uint64_t kept = 0;
  for (uint64_t k = 0; k < count; ++k)
    if (columnOfNode(found.columns, (int32_t)rows[k].row) >= 0) rows[kept++] = rows[k];
  return kept;
}

double pairValue(const AttributePairs& found, uint64_t column, const SimilarRow& row) {
  if (row.row == column) return 1.0;
  return attributeValue(found.search.measure, row.shared, found.search.held[column], found.search.held[row.row],
                        found.search.numAttrs);
}

// The rows list position p's search walks: all later ones, or those within the result's columns.
static uint64_t rowsSearched(const AttributePairs& found, uint64_t p) {
  if (columnOfNode(found.columns, (int32_t)p) >= 0) return found.listed - p;
  const uint64_t from = found.firstColumn > p ? found.firstColumn : p;
  return found.pastColumns > from ? found.pastColumns - from : 0;
}

double* startPositionBars(const AttributePairs& found, int32_t workers) {
  const uint64_t padded = paddedRows(found.listed);
  double* bars = workspaceOf<double>(found.request.pairs.word, (uint64_t)workers * padded);
  for (uint64_t p = 0; p < padded; ++p) bars[p] = infinity();
  for (uint64_t p = 0; p < found.listed; ++p) refreshPositionBar(bars, found.top, found.columns, (uint32_t)p);
  for (int32_t w = 1; w < workers; ++w)
    for (uint64_t p = 0; p < padded; ++p) bars[(uint64_t)w * padded + p] = bars[p];
  return bars;
}

uint64_t columnWork(const AttributePairs& found, uint64_t p) { return rowsSearched(found, p) * found.search.words + 1; }

uint64_t attributePairsWork(uint64_t listed, uint64_t numAttrs) {
  const uint64_t pairs = listed % 2 == 0 ? listed / 2 * (listed + 1) : (listed + 1) / 2 * listed;
  const uint64_t cost = wordsPerNode(numAttrs) + 1;
  return pairs > UINT64_MAX / cost ? UINT64_MAX : pairs * cost;
}

bool attributeWorkspaceFits(uint64_t listed, uint64_t numAttrs) {
  // Per padded row: its bit set and five words of counts and positions. Rows kept grow with the result.
  const uint64_t rows = paddedRows(listed) + kInterleavedRows;
  return wordsPerNode(numAttrs) + 5 <= (uint64_t)(size_t)-1 / sizeof(uint64_t) / rows;
}

// Rows are kept while at most one pair in this many passes (or while few are kept): beyond that,
// counting the pairs again costs less than writing the rows down.
static const uint64_t kPairsPerKeptRow = 16;
static const uint64_t kKeptRowsAtLeast = 8192;

// The rows one worker found in a round, before the calling thread keeps them or not.
struct RoundRows {
  SimilarRow* rows;
  uint64_t room;
  uint64_t count;
};

// What the workers of the counting pass share: the pass, read only but for the columns each
// finds (their own rows and entries), and each worker's own workspace.
struct CountingWork {
  AttributePairs* found;
  RoundRows* rounds;     // per worker
  uint64_t* mirrored;    // per worker, listed each: the earlier positions of its columns that list each row
  TopValues* tops;       // per worker, with top values (the first is found->top)
  double* bars;          // per worker, paddedRows(listed) each, with top values: the bar of each position's column
  uint64_t* entries;     // per list position: the entries of the result its rows make
  int32_t slices[kMostThreads + 1];  // the list positions of each worker in the round under way
};

// The entries of the result the rows just found for list position `column` make: each pair in the
// column of `column`, when it is one of the result's, and mirrored in the row's, when that is one
// and not the column itself.
static uint64_t entriesOf(const AttributePairs& found, uint64_t column, const SimilarRow* rows, uint64_t count) {
  if (!isGeneral(found)) {
    const uint64_t diagonal = count > 0 && rows[0].row == column;
    return 2 * count - diagonal;
  }
  uint64_t entries = 0;
  for (uint64_t k = 0; k < count; ++k) entries += pairEntries(found.columns, true, (int32_t)rows[k].row, (int32_t)column);
  return entries;
}

// Counts worker `worker`'s columns of the round: each column's rows into the worker's round, its
// own rows, its entries and, for each row, one more earlier position that lists it; or offers the
// rows to the worker's top values.
static void countSlice(CountingWork& work, int32_t worker) {
  AttributePairs& found = *work.found;
  const bool top = found.request.pairs.topK > 0;
  RoundRows& round = work.rounds[worker];
  uint64_t* mirrored = work.mirrored + (uint64_t)worker * found.listed;
  // Top values search with the worker's own bars: a pair below both of its columns' is not found.
  RowSearch search = found.search;
  double* bars = top ? work.bars + (uint64_t)worker * paddedRows(found.listed) : 0;
  search.bars = bars;
  for (int32_t p = work.slices[worker]; p < work.slices[worker + 1]; ++p) {
    const uint64_t column = (uint64_t)p;
    SimilarRow* rows = round.rows + (top ? 0 : round.count);
    const uint64_t count = findRows(found, search, column, rows);
    if (top) {
      TopValues& values = work.tops[worker];
      for (uint64_t k = 0; k < count; ++k) {
        offerPairToTop(values, found.columns, true, (int32_t)rows[k].row, p, pairValue(found, column, rows[k]));
        refreshPositionBar(bars, values, found.columns, rows[k].row);
      }
      refreshPositionBar(bars, values, found.columns, (uint32_t)column);
      continue;
    }
    found.own[column] = count;
    for (uint64_t k = 0; k < count; ++k)
      mirrored[rows[k].row] += rows[k].row != column && columnOfNode(found.columns, (int32_t)rows[k].row) >= 0;
    work.entries[column] = entriesOf(found, column, rows, count);
    round.count += count;
  }
}

// Gives each worker room for every row its columns of the round can find (a single column's, for
// top values, as they are offered at once).
static void roomForRound(CountingWork& work, int32_t workers) {
  const AttributePairs& found = *work.found;
  for (int32_t w = 0; w < workers; ++w) {
    uint64_t most = 0;
    for (int32_t p = work.slices[w]; p < work.slices[w + 1]; ++p) {
      const uint64_t rows = rowsSearched(found, (uint64_t)p) + kInterleavedRows;
      most = found.request.pairs.topK > 0 ? (rows > most ? rows : most) : most + rows;
    }
    RoundRows& round = work.rounds[w];
    round.count = 0;
    if (most <= round.room) continue;
    mxFree(round.rows);
    round.rows = 0;
    round.room = most > 2 * round.room ? most : 2 * round.room;
    round.rows = workspaceOf<SimilarRow>(found.request.pairs.word, round.room);
  }
}

// Keeps the `count` rows of `column`, `pairs` pairs having been counted so far, as long as every
// earlier column's were kept and few enough pairs pass.
static void keepRows(const char* word, KeptRows& kept, const SimilarRow* rows, uint64_t count, uint64_t column,
                     uint64_t pairs) {
  const uint64_t most = pairs / kPairsPerKeptRow > kKeptRowsAtLeast ? pairs / kPairsPerKeptRow : kKeptRowsAtLeast;
  if (kept.columns < column || kept.count + count > most) return;
  if (kept.count + count > kept.room) {
    kept.room = 2 * kept.room > kept.count + count ? 2 * kept.room : kept.count + count;
    kept.rows = resizedWorkspace(word, kept.rows, kept.room);
  }
  for (uint64_t k = 0; k < count; ++k) kept.rows[kept.count + k] = rows[k];
  kept.count += count;
  kept.columns = column + 1;
}

// Goes through the round's columns in order: the entries of the result so far, stopping after the
// column that takes them past the limit, and the rows kept for storing. Returns the columns done.
static uint64_t settleRound(CountingWork& work, int32_t workers, uint64_t& stored, uint64_t& pairs) {
  AttributePairs& found = *work.found;
  for (int32_t w = 0; w < workers; ++w) {
    const SimilarRow* rows = work.rounds[w].rows;
    for (int32_t p = work.slices[w]; p < work.slices[w + 1]; ++p) {
      const uint64_t column = (uint64_t)p, count = found.own[column];
      pairs += found.listed - column;
      keepRows(found.request.pairs.word, found.kept, rows, count, column, pairs);
      rows += count;
      stored += work.entries[column];
      if (stored > found.request.pairs.maxEntries) return column + 1;
    }
  }
  return (uint64_t)work.slices[workers];
}

// The workspace of `workers` workers; each worker's own top values are like found.top.
static void startWorkers(CountingWork& work, int32_t workers) {
  AttributePairs& found = *work.found;
  const char* word = found.request.pairs.word;
  work.rounds = workspaceOf<RoundRows>(word, (uint64_t)workers);
  work.tops = workspaceOf<TopValues>(word, (uint64_t)workers);
  for (int32_t w = 0; w < workers; ++w) work.rounds[w] = RoundRows{0, 0, 0};
  for (int32_t w = 0; w < workers; ++w) work.tops[w] = TopValues{};
  work.mirrored = zeroedWorkspaceOf<uint64_t>(word, (uint64_t)workers * found.listed + 1);
  work.entries = workspaceOf<uint64_t>(word, found.listed + 1);
  if (found.request.pairs.topK == 0) return;
  work.tops[0] = found.top;
  for (int32_t w = 1; w < workers; ++w) work.tops[w] = startTopValuesLike(word, found.top);
  work.bars = startPositionBars(found, workers);
}

// Adds up the workers' counts of the earlier positions that list each row, and merges their top
// values into the first's, both sliced among the workers.
static void gatherWorkers(CountingWork& work, int32_t workers) {
  AttributePairs& found = *work.found;
  int32_t slices[kMostThreads + 1];
  const int32_t columns = found.top.entries ? found.top.columns : 0;
  const uint64_t listed = found.listed;
  sliceByCost([](int32_t p) { return (uint64_t)p; }, 0, (int32_t)listed, workers, slices);
  int32_t topSlices[kMostThreads + 1];
  sliceByCost([](int32_t c) { return (uint64_t)c; }, 0, columns, workers, topSlices);
  auto gather = [&](int32_t worker) {
    for (int32_t p = slices[worker]; p < slices[worker + 1]; ++p)
      for (int32_t w = 0; w < workers; ++w) found.mirrored[p] += work.mirrored[(uint64_t)w * listed + (uint64_t)p];
    for (int32_t w = 1; w < workers && columns > 0; ++w)
      mergeTopValues(work.tops[0], work.tops[w], topSlices[worker], topSlices[worker + 1]);
  };
  runEachWorker(gather, workers);
  if (columns > 0) found.top = work.tops[0];
}

// Frees the workers' workspace.
static void releaseWorkers(CountingWork& work, int32_t workers) {
  for (int32_t w = 0; w < workers; ++w) {
    mxFree(work.rounds[w].rows);
    if (w > 0 && work.tops[w].entries) releaseTopValues(work.tops[w]);
  }
  mxFree(work.rounds);
  mxFree(work.tops);
  mxFree(work.mirrored);
  mxFree(work.entries);
  mxFree(work.bars);
}

// Counts each column's own rows (itself and the later rows that pass) and, for each row, the
// earlier columns that list it, keeping the rows found while they fit, or offering them to the top
// values: round after round, each round's columns sliced among the workers by their work. Returns
// the entries of the whole result, stopping as soon as they exceed the limit.
static uint64_t countColumns(AttributePairs& found) {
  const char* word = found.request.pairs.word;
  const int32_t listed = (int32_t)found.listed;
  uint64_t* workBefore = workspaceOf<uint64_t>(word, found.listed + 1);
  workBefore[0] = 0;
  for (int32_t p = 0; p < listed; ++p) workBefore[p + 1] = workBefore[p] + columnWork(found, (uint64_t)p);
  const auto costBefore = [workBefore](int32_t p) { return workBefore[p]; };
  const int32_t workers = threadsFor(found.threads, workBefore[listed], found.request.workPerThread);
  CountingWork work = {&found, 0, 0, 0, 0, 0, {}};
  startWorkers(work, workers);
  // A round's rows are bounded by its work; top values keep one column's at a time.
  const uint64_t roundWork = roundWorkOf(workBefore[listed], found.request.workPerThread, true);
  uint64_t stored = 0, pairs = 0;
  for (int32_t first = 0; first < listed && stored <= found.request.pairs.maxEntries;) {
    const int32_t past = roundEnd(costBefore, first, listed, roundWork);
    sliceByCost(costBefore, first, past, workers, work.slices);
    roomForRound(work, workers);
    auto count = [&work](int32_t worker) { countSlice(work, worker); };
    runEachWorker(count, workers);
    const uint64_t done = found.request.pairs.topK > 0 ? (uint64_t)past : settleRound(work, workers, stored, pairs);
    advanceTenths(found.progress, done);
    first = past;
  }
  if (stored <= found.request.pairs.maxEntries) gatherWorkers(work, workers);
  releaseWorkers(work, workers);
  mxFree(workBefore);
  return found.request.pairs.topK > 0 ? topEntries(found.top) : stored;
}

void releaseAttributePairs(AttributePairs& found) {
  mxFree((void*)found.search.bits);
  mxFree((void*)found.search.held);
  mxFree(found.kept.rows);
  mxFree(found.own);
  mxFree(found.mirrored);
  mxFree(found.ownStart);
  mxFree((void*)found.columns.of);
  mxFree(found.rowPositions);
  mxFree(found.rowPairs);
  mxFree(found.rowEnds);
  if (found.top.entries) releaseTopValues(found.top);
  found.rowPositions = 0;
  found.rowPairs = 0;
  found.rowEnds = 0;
  found.search.bits = 0;
  found.search.held = 0;
  found.kept.rows = 0;
  found.own = found.mirrored = found.ownStart = 0;
  found.columns.of = 0;
  found.top = TopValues{};
}

// The list positions from the first to past the last of the result's columns.
static void findColumnRange(AttributePairs& found) {
  found.firstColumn = 0;
  found.pastColumns = found.listed;
  if (!found.columns.of) return;
  found.firstColumn = found.listed;
  found.pastColumns = 0;
  for (uint64_t p = 0; p < found.listed; ++p) {
    if (found.columns.of[p] < 0) continue;
    found.firstColumn = found.firstColumn < p ? found.firstColumn : p;
    found.pastColumns = p + 1;
  }
}

// Room for each result column's top values: k, or every listed node (or chosen row) if fewer.
static void startTop(AttributePairs& found) {
  const PairRequest& request = found.request.pairs;
  int32_t* rooms = workspaceOf<int32_t>(request.word, (uint64_t)request.columnCount + 1);
  const uint64_t rows = found.request.rows ? (uint64_t)found.request.rowCount : found.listed;
  const int32_t most = rows < (uint64_t)request.topK ? (int32_t)rows : request.topK;
  for (int32_t c = 0; c < request.columnCount; ++c) rooms[c] = most;
  found.top = startTopValues(request.word, request.columnCount, rooms);
  mxFree(rooms);
}

AttributeRequest attributeJaccardRequest(double threshold, uint64_t numNodes, uint64_t maxEntries, CpuPath path) {
  AttributeRequest request = {};
  request.pairs.word = "attributeJaccard";
  request.pairs.progressLine = "attributeJaccard %d%% done\n";
  request.pairs.closingLine = "end attributeJaccard => nnz=%d\n";
  request.pairs.threshold = threshold;
  request.pairs.self = true;
  request.pairs.columnCount = (int32_t)numNodes;
  request.pairs.maxEntries = maxEntries;
  request.measure = kJaccardOfAttributes;
  request.path = path;
  request.workPerThread = kWorkPerAttributeThread;
  request.rowCount = (int32_t)numNodes;
  return request;
}

AttributePairs findAttributePairs(const AttributeRequest& request, const MatrixView& table, const int32_t* nodes,
                                  uint64_t listed) {
  const char* word = request.pairs.word;
  const uint64_t rows = paddedRows(listed), words = wordsPerNode(table.m);
  AttributePairs found = {};
  found.request = request;
  found.listed = listed;
  found.nodes = nodes;
  found.numNodes = table.n;
  found.threads = CallThreads{request.pairs.threads, 0};
  uint64_t* bits = zeroedWorkspaceOf<uint64_t>(word, rows * words);
  uint32_t* held = zeroedWorkspaceOf<uint32_t>(word, rows);
  // Each worker packs its own blocks of rows.
  packAttributes(table, nodes, listed, bits, held,
                 threadsFor(found.threads, rows * (words + 1), request.workPerThread));
  found.search = RowSearch{request.path, request.measure, bits, held, words, table.m, request.pairs.threshold,
                           request.pairs.self};
  found.columns = resultColumnsOf(request.pairs, nodes, (int32_t)listed);
  findColumnRange(found);
  if (request.pairs.topK > 0) startTop(found);
  found.own = zeroedWorkspaceOf<uint64_t>(word, listed + 1);
  found.mirrored = zeroedWorkspaceOf<uint64_t>(word, listed + 1);
  found.ownStart = zeroedWorkspaceOf<uint64_t>(word, listed + 1);
  found.kept = {workspaceOf<SimilarRow>(word, kKeptRowsAtLeast), kKeptRowsAtLeast, 0, 0};
  if (request.rows) {
    // One pass over the chosen rows, each searching every listed node.
    const uint64_t work = (uint64_t)request.rowCount * listed * (words + 1);
    found.progress = startTenths(request.pairs.progressLine, (uint64_t)request.rowCount, work >= kWorkOfASecond);
    findAttributeRows(found);
    if (found.overflowed) releaseAttributePairs(found);
    return found;
  }
  // Two passes over the columns, counting and storing; top values take the first alone.
  found.progress = startTenths(request.pairs.progressLine, (request.pairs.topK > 0 ? 1 : 2) * listed,
                               attributePairsWork(listed, table.m) >= kWorkOfASecond);
  found.entries = countColumns(found);
  found.overflowed = found.entries > request.pairs.maxEntries;
  if (found.overflowed) releaseAttributePairs(found);
  return found;
}
