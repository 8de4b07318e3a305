#include "attributes/attribute_store.h"

#include "attributes/attribute_bits.h"
#include "attributes/attribute_rows.h"
#include "frame/host.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"

// Sets every column start of the result in jc: one column for each node, or for each of the
// request's columns. A listed node's column holds first the rows mirrored from earlier columns,
// from `mirrored[j]` on (which becomes that position), then its own rows, from ownStart[j] on;
// own[j] becomes the end of its own rows.
static void startColumns(AttributePairs& found, uint64_t* jc) {
  const uint64_t listed = found.listed;
  const int32_t* columns = found.request.pairs.columns;
  const uint64_t resultColumns = columns ? (uint64_t)found.request.pairs.columnCount : found.numNodes;
  uint64_t running = 0;
  for (uint64_t c = 0, column = 0; c < resultColumns; ++c) {
    const uint64_t node = columns ? (uint64_t)columns[c] : c;
    jc[c] = running;
    while (column < listed && (uint64_t)found.nodes[column] < node) ++column;
    if (column < listed && (uint64_t)found.nodes[column] == node) {
      found.ownStart[column] = running + found.mirrored[column];
      found.own[column] += found.ownStart[column];
      found.mirrored[column] = running;
      running = found.own[column];
    }
  }
  jc[resultColumns] = running;
}

// The rows list position p found in the counting pass, as many as the result holds of it.
static uint64_t rowsFound(const AttributePairs& found, uint64_t p) {
  return columnOfNode(found.columns, (int32_t)p) >= 0 ? found.own[p] - found.ownStart[p] : found.own[p];
}

// What the workers of the storing share: the pass and the result, read only but for the places
// each worker writes, and each worker's own workspace.
struct StoreWork {
  AttributePairs* found;
  const SparseView* S;
  uint64_t* keptStart;   // per kept list position: where its rows start among the kept rows
  SimilarRow** rows;     // per worker: room for the rows of its columns
  uint64_t* rowRoom;     // per worker: how many
  uint64_t* places;      // per worker, listed each: its mirror images of each position, then where the next goes
  int32_t slices[kMostThreads + 1];
};

// The rows of list position p, kept or found again into `room`.
static const SimilarRow* rowsOf(const StoreWork& work, uint64_t p, SimilarRow* room) {
  const AttributePairs& found = *work.found;
  if (p < found.kept.columns) return found.kept.rows + work.keptStart[p];
  findRows(found, found.search, p, room);
  return room;
}

// Stores the own rows of worker `worker`'s columns, kept or found again, at their place: the row's
// list position in ir (for the mirror images to use) and the value in pr.
static void fillOwnRows(StoreWork& work, int32_t worker) {
  const AttributePairs& found = *work.found;
  const SparseView& S = *work.S;
  for (int32_t p = work.slices[worker]; p < work.slices[worker + 1]; ++p) {
    const uint64_t column = (uint64_t)p, count = rowsFound(found, column);
    const SimilarRow* rows = rowsOf(work, column, work.rows[worker]);
    for (uint64_t k = 0, at = found.ownStart[column]; k < count; ++k, ++at) {
      S.ir[at] = rows[k].row;
      S.pr[at] = pairValue(found, column, rows[k]);
    }
  }
}

// Columns whose mirrored rows are written in one sweep, so that their write positions stay in cache.
static const uint64_t kMirrorColumns = 256;

// Copies each own row of column j at row k (k > j) into column k as row j, the earlier columns
// first, for the columns k of worker `worker`; own rows still hold list positions.
static void mirrorRows(StoreWork& work, int32_t worker) {
  const AttributePairs& found = *work.found;
  const SparseView& S = *work.S;
  const uint64_t first = (uint64_t)work.slices[worker], past = (uint64_t)work.slices[worker + 1];
  uint64_t* next = work.places + (uint64_t)worker * found.listed;
  // Each column's own rows ascend: the first at or past this worker's columns.
  for (uint64_t column = 0; column < past; ++column) {
    uint64_t low = found.ownStart[column], high = found.own[column];
    while (low < high) {
      const uint64_t middle = low + (high - low) / 2;
      if (S.ir[middle] < first) low = middle + 1;
      else high = middle;
    }
    next[column] = low;
  }
  for (uint64_t start = first; start < past; start += kMirrorColumns) {
    const uint64_t end = past - start < kMirrorColumns ? past : start + kMirrorColumns;
    for (uint64_t column = 0; column < end; ++column) {
      uint64_t at = next[column];
      for (const uint64_t last = found.own[column]; at < last && S.ir[at] < end; ++at) {
        const uint64_t row = S.ir[at];
        if (row == column) continue;
        const uint64_t to = found.mirrored[row]++;
        S.ir[to] = widen(found.nodes[column]);
        S.pr[to] = S.pr[at];
      }
      next[column] = at;
    }
  }
}

// Turns the own rows of worker `worker`'s columns from list positions into their nodes' rows.
static void nameOwnRows(StoreWork& work, int32_t worker) {
  const AttributePairs& found = *work.found;
  const SparseView& S = *work.S;
  for (int32_t p = work.slices[worker]; p < work.slices[worker + 1]; ++p)
    for (uint64_t at = found.ownStart[p]; at < found.own[p]; ++at) S.ir[at] = widen(found.nodes[S.ir[at]]);
}

// Finds the rows of worker `worker`'s columns into its room, one column after the other, and
// counts its mirror images of each list position.
static void gatherRows(StoreWork& work, int32_t worker) {
  const AttributePairs& found = *work.found;
  uint64_t* places = work.places + (uint64_t)worker * found.listed;
  SimilarRow* room = work.rows[worker];
  for (int32_t p = work.slices[worker]; p < work.slices[worker + 1]; ++p) {
    const uint64_t column = (uint64_t)p, count = rowsFound(found, column);
    const SimilarRow* rows = rowsOf(work, column, room);
    for (uint64_t k = 0; k < count; ++k) {
      room[k] = rows[k];
      places[rows[k].row] += rows[k].row != column && columnOfNode(found.columns, (int32_t)rows[k].row) >= 0;
    }
    room += count;
  }
}

// Writes the rows worker `worker` gathered: each in its column when that is one (rows ascending
// from the column's own), and in each row's column at the worker's place there.
static void writeRows(StoreWork& work, int32_t worker) {
  AttributePairs& found = *work.found;
  const SparseView& S = *work.S;
  uint64_t* places = work.places + (uint64_t)worker * found.listed;
  const SimilarRow* rows = work.rows[worker];
  for (int32_t p = work.slices[worker]; p < work.slices[worker + 1]; ++p) {
    const uint64_t column = (uint64_t)p, count = rowsFound(found, column);
    const bool own = columnOfNode(found.columns, p) >= 0;
    for (uint64_t k = 0; k < count; ++k) {
      const uint64_t row = rows[k].row;
      const double value = pairValue(found, column, rows[k]);
      if (own) {
        S.ir[found.ownStart[column]] = widen(found.nodes[row]);
        S.pr[found.ownStart[column]++] = value;
      }
      if (row != column && columnOfNode(found.columns, (int32_t)row) >= 0) {
        S.ir[places[row]] = widen(found.nodes[column]);
        S.pr[places[row]++] = value;
      }
    }
    rows += count;
  }
}

// Each worker's place for its mirror images of each list position from first on, after the
// earlier workers' (whose columns come first): the places of the round's counts.
static void placeMirrors(StoreWork& work, int32_t workers, uint64_t first) {
  AttributePairs& found = *work.found;
  for (uint64_t q = first; q < found.listed; ++q)
    for (int32_t w = 0; w < workers; ++w) {
      uint64_t& place = work.places[(uint64_t)w * found.listed + q];
      const uint64_t images = place;
      place = found.mirrored[q];
      found.mirrored[q] += images;
    }
}

// Gives each worker room for the rows its columns of the round keep, and clears its counts of
// mirror images from the round's first column on.
static void roomForRound(StoreWork& work, int32_t workers, bool gathering) {
  const AttributePairs& found = *work.found;
  for (int32_t w = 0; w < workers; ++w) {
    uint64_t most = 0;
    for (int32_t p = work.slices[w]; p < work.slices[w + 1]; ++p) {
      const uint64_t rows = rowsFound(found, (uint64_t)p);
      most = gathering ? most + rows : most;
      // A column found again needs room for every row it searches.
      if ((uint64_t)p >= found.kept.columns) {
        const uint64_t searched = found.listed - (uint64_t)p + kInterleavedRows;
        most = gathering ? most + searched : (searched > most ? searched : most);
      }
    }
    if (gathering)
      for (uint64_t q = (uint64_t)work.slices[0]; q < found.listed; ++q) work.places[(uint64_t)w * found.listed + q] = 0;
    if (most <= work.rowRoom[w]) continue;
    mxFree(work.rows[w]);
    work.rows[w] = 0;
    work.rowRoom[w] = most > 2 * work.rowRoom[w] ? most : 2 * work.rowRoom[w];
    work.rows[w] = workspaceOf<SimilarRow>(found.request.pairs.word, work.rowRoom[w]);
  }
}

// Where each kept column's rows start among the kept rows.
static uint64_t* keptStarts(const AttributePairs& found) {
  uint64_t* starts = workspaceOf<uint64_t>(found.request.pairs.word, found.kept.columns + 1);
  starts[0] = 0;
  for (uint64_t p = 0; p < found.kept.columns; ++p) starts[p + 1] = starts[p] + rowsFound(found, p);
  return starts;
}

// Stores every column, round after round, each round's columns sliced among the workers by their
// work: where every node is a column, each column's own rows, then every mirror image swept from
// them; else each round's rows gathered, their mirror images placed, and written.
static void storePairs(AttributePairs& found, const SparseView& S) {
  const char* word = found.request.pairs.word;
  const int32_t listed = (int32_t)found.listed;
  const bool general = isGeneral(found);
  uint64_t* workBefore = workspaceOf<uint64_t>(word, found.listed + 1);
  workBefore[0] = 0;
  for (int32_t p = 0; p < listed; ++p)
    workBefore[p + 1] = workBefore[p] + ((uint64_t)p < found.kept.columns ? rowsFound(found, (uint64_t)p) + 1
                                                                            : columnWork(found, (uint64_t)p));
  const auto costBefore = [workBefore](int32_t p) { return workBefore[p]; };
  const int32_t workers = threadsFor(found.threads, workBefore[listed], found.request.workPerThread);
  StoreWork work = {&found, &S, 0, 0, 0, 0, {}};
  work.keptStart = keptStarts(found);
  work.rows = workspaceOf<SimilarRow*>(word, (uint64_t)workers);
  work.rowRoom = zeroedWorkspaceOf<uint64_t>(word, (uint64_t)workers);
  for (int32_t w = 0; w < workers; ++w) work.rows[w] = 0;
  work.places = workspaceOf<uint64_t>(word, (uint64_t)workers * found.listed + 1);
  const uint64_t roundWork = roundWorkOf(workBefore[listed], found.request.workPerThread, true);
  for (int32_t first = 0; first < listed;) {
    const int32_t past = roundEnd(costBefore, first, listed, roundWork);
    sliceByCost(costBefore, first, past, workers, work.slices);
    roomForRound(work, workers, general);
    if (general) {
      auto gather = [&work](int32_t worker) { gatherRows(work, worker); };
      runEachWorker(gather, workers);
      placeMirrors(work, workers, (uint64_t)first);
      auto write = [&work](int32_t worker) { writeRows(work, worker); };
      runEachWorker(write, workers);
    } else {
      auto fill = [&work](int32_t worker) { fillOwnRows(work, worker); };
      runEachWorker(fill, workers);
    }
    advanceTenths(found.progress, found.listed + (uint64_t)past);
    first = past;
  }
  if (!general) {
    // The mirror images, then the own rows' nodes, the columns sliced by their entries.
    const uint64_t* own = found.own;
    sliceByCost([own](int32_t p) { return (p > 0 ? own[p - 1] : 0) + (uint64_t)p; }, 0, listed, workers, work.slices);
    auto mirror = [&work](int32_t worker) { mirrorRows(work, worker); };
    runEachWorker(mirror, workers);
    auto name = [&work](int32_t worker) { nameOwnRows(work, worker); };
    runEachWorker(name, workers);
  }
  for (int32_t w = 0; w < workers; ++w) mxFree(work.rows[w]);
  mxFree(work.places);
  mxFree(work.rowRoom);
  mxFree(work.rows);
  mxFree(work.keptStart);
  mxFree(workBefore);
}

void storeAttributePairs(AttributePairs& found, const SparseView& S) {
  if (found.request.rows) {
    storeAttributeRows(found, S);
  } else if (found.request.pairs.topK > 0) {
    storeTopValues(found.request.pairs.word, found.top, found.nodes, S,
                   threadsFor(found.threads, topEntries(found.top), found.request.workPerThread));
  } else {
    startColumns(found, S.jc);
    storePairs(found, S);
  }
  mexPrintf(found.request.pairs.closingLine, low32(found.entries));
  releaseAttributePairs(found);
}
