#include "attributes/attribute_jaccard.h"

#include "attributes/attribute_bits.h"
#include "frame/host.h"
#include "frame/workspace.h"

// The word of the call's errors.
static const char kWord[] = "attributeJaccard";

// The similar rows of one column into pass.found; returns how many.
static uint64_t findRows(const PairPass& pass, uint64_t column) {
  return similarRows(pass.path, pass.bits, pass.held, pass.words, pass.listed, column, pass.threshold, pass.found);
}

uint64_t jaccardWork(uint64_t listed, uint64_t numAttrs) {
  const uint64_t pairs = listed % 2 == 0 ? listed / 2 * (listed + 1) : (listed + 1) / 2 * listed;
  const uint64_t cost = wordsPerNode(numAttrs) + 1;
  return pairs > UINT64_MAX / cost ? UINT64_MAX : pairs * cost;
}

bool jaccardWorkspaceFits(uint64_t listed, uint64_t numAttrs) {
  // Per padded row: its bit set and five words of counts and positions. Rows kept grow with the result.
  const uint64_t rows = paddedRows(listed) + kInterleavedRows;
  return wordsPerNode(numAttrs) + 5 <= (uint64_t)(size_t)-1 / sizeof(uint64_t) / rows;
}

// Rows are kept while at most one pair in this many passes (or while few are kept): beyond that,
// counting the pairs again costs less than writing the rows down.
static const uint64_t kPairsPerKeptRow = 16;
static const uint64_t kKeptRowsAtLeast = 8192;

// Keeps the rows just found for `column`, `pairs` pairs having been counted so far, as long as
// every earlier column's were kept and few enough pairs pass.
static void keepRows(KeptRows& kept, const SimilarRow* found, uint64_t count, uint64_t column, uint64_t pairs) {
  const uint64_t most = pairs / kPairsPerKeptRow > kKeptRowsAtLeast ? pairs / kPairsPerKeptRow : kKeptRowsAtLeast;
  if (kept.columns < column || kept.count + count > most) return;
  if (kept.count + count > kept.room) {
    kept.room = 2 * kept.room > kept.count + count ? 2 * kept.room : kept.count + count;
    kept.rows = resizedWorkspace(kWord, kept.rows, kept.room);
  }
  for (uint64_t k = 0; k < count; ++k) kept.rows[kept.count + k] = found[k];
  kept.count += count;
  kept.columns = column + 1;
}

// Counts each column's own rows (itself and the later rows that pass) and, for each row, the
// earlier columns that list it, keeping the rows found while they fit. Returns the entries of the
// whole result, stopping as soon as they exceed `maxEntries`.
static uint64_t countColumns(const PairPass& pass, uint64_t maxEntries, uint64_t* own, uint64_t* mirrored,
                             KeptRows& kept, TenthsProgress& progress) {
  const uint64_t diagonal = 1.0 > pass.threshold;
  uint64_t stored = 0, pairs = 0;
  for (uint64_t column = 0; column < pass.listed && stored <= maxEntries; ++column) {
    own[column] = findRows(pass, column);
    for (uint64_t k = 0; k < own[column]; ++k) mirrored[pass.found[k].row] += pass.found[k].row != column;
    pairs += pass.listed - column;
    keepRows(kept, pass.found, own[column], column, pairs);
    stored += 2 * own[column] - diagonal;
    advanceTenths(progress, column + 1);
  }
  return stored;
}

// Sets every column start of the result in jc. A listed column holds first the rows mirrored from
// earlier columns, from `mirrored[j]` on (which becomes that position), then its own rows, from
// ownStart[j] on; own[j] becomes the end of its own rows.
static void startColumns(const int32_t* nodes, uint64_t listed, uint64_t numNodes, uint64_t* own, uint64_t* mirrored,
                         uint64_t* ownStart, uint64_t* jc) {
  uint64_t running = 0;
  for (uint64_t node = 0, column = 0; node < numNodes; ++node) {
    jc[node] = running;
    if (column < listed && (uint64_t)nodes[column] == node) {
      ownStart[column] = running + mirrored[column];
      own[column] += ownStart[column];
      mirrored[column] = running;
      running = own[column];
      ++column;
    }
  }
  jc[numNodes] = running;
}

// Stores each column's own rows, kept or found again, at their place: the row's list position in
// ir (for mirrorRows to use) and the similarity in pr.
static void fillOwnRows(const PairPass& pass, const KeptRows& kept, const uint64_t* ownStart, const uint64_t* ownEnd,
                        const SparseView& result, TenthsProgress& progress) {
  const SimilarRow* keptRows = kept.rows;
  for (uint64_t column = 0; column < pass.listed; ++column) {
    const uint64_t count = ownEnd[column] - ownStart[column];
    const SimilarRow* found = keptRows;
    if (column < kept.columns) {
      keptRows += count;
    } else {
      findRows(pass, column);
      found = pass.found;
    }
    for (uint64_t k = 0, at = ownStart[column]; k < count; ++k, ++at) {
      const uint64_t row = found[k].row;
      result.ir[at] = row;
      result.pr[at] = row == column ? 1.0 : jaccardOfCounts(found[k].shared, pass.held[column], pass.held[row]);
    }
    advanceTenths(progress, pass.listed + column + 1);
  }
}

// Columns whose mirrored rows are written in one sweep, so that their write positions stay in cache.
static const uint64_t kMirrorColumns = 256;

// Copies each own row of column j at row k (k > j) into column k as row j, the earlier columns
// first, and turns every own row's list position into its node's row.
static void mirrorRows(const int32_t* nodes, uint64_t listed, uint64_t* next, const uint64_t* ownEnd,
                       uint64_t* mirrored, const SparseView& result) {
  uint64_t* ir = result.ir;
  double* pr = result.pr;
  for (uint64_t first = 0; first < listed; first += kMirrorColumns) {
    const uint64_t end = listed - first < kMirrorColumns ? listed : first + kMirrorColumns;
    for (uint64_t column = 0; column < end; ++column) {
      uint64_t at = next[column];
      for (const uint64_t last = ownEnd[column]; at < last && ir[at] < end; ++at) {
        const uint64_t row = ir[at];
        ir[at] = widen(nodes[row]);
        if (row == column) continue;
        const uint64_t to = mirrored[row]++;
        ir[to] = widen(nodes[column]);
        pr[to] = pr[at];
      }
      next[column] = at;
    }
  }
}

// Frees the workspace of a pass.
static void releasePairs(AttributePairs& found) {
  mxFree(found.pass.bits);
  mxFree(found.pass.held);
  mxFree(found.pass.found);
  mxFree(found.kept.rows);
  mxFree(found.own);
  mxFree(found.mirrored);
  mxFree(found.ownStart);
}

AttributePairs findAttributePairs(const MatrixView& table, const int32_t* nodes, uint64_t listed, double threshold,
                                  uint64_t maxEntries, CpuPath path) {
  const uint64_t rows = paddedRows(listed), words = wordsPerNode(table.m);
  AttributePairs found;
  found.pass = {path, zeroedWorkspaceOf<uint64_t>(kWord, rows * words), zeroedWorkspaceOf<uint32_t>(kWord, rows),
                words, listed, threshold, workspaceOf<SimilarRow>(kWord, rows + kInterleavedRows)};
  packAttributes(table, nodes, listed, found.pass.bits, found.pass.held);
  found.nodes = nodes;
  found.numNodes = table.n;
  found.own = zeroedWorkspaceOf<uint64_t>(kWord, listed + 1);
  found.mirrored = zeroedWorkspaceOf<uint64_t>(kWord, listed + 1);
  found.ownStart = zeroedWorkspaceOf<uint64_t>(kWord, listed + 1);
  found.kept = {workspaceOf<SimilarRow>(kWord, kKeptRowsAtLeast), kKeptRowsAtLeast, 0, 0};
  // Two passes over the columns: counting, then storing.
  found.progress = startTenths("attributeJaccard %d%% done\n", 2 * listed,
                               jaccardWork(listed, table.m) >= kWorkOfASecond);
  found.entries = countColumns(found.pass, maxEntries, found.own, found.mirrored, found.kept, found.progress);
  found.overflowed = found.entries > maxEntries;
  if (found.overflowed) releasePairs(found);
  return found;
}

void storeAttributePairs(AttributePairs& found, const SparseView& S) {
  const uint64_t listed = found.pass.listed;
  startColumns(found.nodes, listed, found.numNodes, found.own, found.mirrored, found.ownStart, S.jc);
  fillOwnRows(found.pass, found.kept, found.ownStart, found.own, S, found.progress);
  mirrorRows(found.nodes, listed, found.ownStart, found.own, found.mirrored, S);
  mexPrintf("end attributeJaccard => nnz=%d\n", low32(found.entries));
  releasePairs(found);
}
