#include "attributes/attribute_pairs.h"

#include "attributes/attribute_bits.h"
#include "frame/host.h"
#include "frame/sorting.h"
#include "frame/workspace.h"

// Whether the result has columns of its own or keeps each column's largest values: the pass then
// takes the pairs with a column of the result, and mirrors from the pairs, not from the result.
static bool isGeneral(const AttributePairs& found) { return found.resultColumnOf || found.request.topK > 0; }

// The result's column of list position p, or -1: its node's column when every node has one.
static int32_t resultColumn(const AttributePairs& found, uint64_t p) {
  return found.resultColumnOf ? found.resultColumnOf[p] : found.nodes[p];
}

// The rows list position `column` finds, into found.found: all its later rows when it is a column
// of the result, else those of the result's columns alone. Returns how many.
static uint64_t findRows(const AttributePairs& found, uint64_t column) {
  if (resultColumn(found, column) >= 0) return similarRows(found.search, column, column, found.listed, found.found);
  const uint64_t from = found.firstColumn > column ? found.firstColumn : column;
  const uint64_t count = similarRows(found.search, column, from, found.pastColumns, found.found);
  uint64_t kept = 0;
  for (uint64_t k = 0; k < count; ++k)
    if (resultColumn(found, found.found[k].row) >= 0) found.found[kept++] = found.found[k];
  return kept;
}

// The value of list positions `column` and `row` from the attributes they share.
static double valueOf(const AttributePairs& found, uint64_t column, const SimilarRow& row) {
  if (row.row == column) return 1.0;
  return attributeValue(found.search.measure, row.shared, found.search.held[column], found.search.held[row.row],
                        found.search.numAttrs);
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
static void keepRows(const char* word, KeptRows& kept, const SimilarRow* found, uint64_t count, uint64_t column,
                     uint64_t pairs) {
  const uint64_t most = pairs / kPairsPerKeptRow > kKeptRowsAtLeast ? pairs / kPairsPerKeptRow : kKeptRowsAtLeast;
  if (kept.columns < column || kept.count + count > most) return;
  if (kept.count + count > kept.room) {
    kept.room = 2 * kept.room > kept.count + count ? 2 * kept.room : kept.count + count;
    kept.rows = resizedWorkspace(word, kept.rows, kept.room);
  }
  for (uint64_t k = 0; k < count; ++k) kept.rows[kept.count + k] = found[k];
  kept.count += count;
  kept.columns = column + 1;
}

// The entries of the result the rows just found for list position `column` make: each pair in the
// column of `column`, when it is one of the result's, and mirrored in the row's, when that is one
// and not the column itself.
static uint64_t entriesOf(const AttributePairs& found, uint64_t column, uint64_t count) {
  const bool own = resultColumn(found, column) >= 0;
  uint64_t entries = 0;
  for (uint64_t k = 0; k < count; ++k) {
    const uint64_t row = found.found[k].row;
    entries += own + (row != column && resultColumn(found, row) >= 0);
  }
  return entries;
}

// Offers the rows just found for list position `column` to the top values of their columns.
static void offerRows(AttributePairs& found, uint64_t column, uint64_t count) {
  for (uint64_t k = 0; k < count; ++k) {
    const SimilarRow& row = found.found[k];
    const double value = valueOf(found, column, row);
    if (resultColumn(found, column) >= 0) offerTop(found.top, resultColumn(found, column), (int32_t)row.row, value);
    if (row.row != column && resultColumn(found, row.row) >= 0)
      offerTop(found.top, resultColumn(found, row.row), (int32_t)column, value);
  }
}

// Counts each column's own rows (itself and the later rows that pass) and, for each row, the
// earlier columns that list it, keeping the rows found while they fit, or offering them to the top
// values. Returns the entries of the whole result, stopping as soon as they exceed the limit.
static uint64_t countColumns(AttributePairs& found) {
  const uint64_t listed = found.listed, maxEntries = found.request.maxEntries;
  const bool general = isGeneral(found), top = found.request.topK > 0;
  const uint64_t diagonal = found.search.self && 1.0 > found.search.threshold;
  uint64_t stored = 0, pairs = 0;
  for (uint64_t column = 0; column < listed && stored <= maxEntries; ++column) {
    const uint64_t count = findRows(found, column);
    advanceTenths(found.progress, column + 1);
    if (top) {
      offerRows(found, column, count);
      continue;
    }
    found.own[column] = count;
    for (uint64_t k = 0; k < count; ++k) {
      const uint64_t row = found.found[k].row;
      found.mirrored[row] += row != column && resultColumn(found, row) >= 0;
    }
    pairs += listed - column;
    keepRows(found.request.word, found.kept, found.found, count, column, pairs);
    stored += general ? entriesOf(found, column, count) : 2 * count - diagonal;
  }
  return top ? topEntries(found.top) : stored;
}

// Sets every column start of the result in jc: one column for each node, or for each of the
// request's columns. A listed node's column holds first the rows mirrored from earlier columns,
// from `mirrored[j]` on (which becomes that position), then its own rows, from ownStart[j] on;
// own[j] becomes the end of its own rows.
static void startColumns(AttributePairs& found, uint64_t* jc) {
  const uint64_t listed = found.listed;
  const int32_t* columns = found.request.columns;
  const uint64_t resultColumns = columns ? (uint64_t)found.request.columnCount : found.numNodes;
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

// The rows of list position `column` the counting pass found: kept, moved on past, or found again.
static const SimilarRow* rowsOf(AttributePairs& found, uint64_t column, uint64_t count, const SimilarRow*& keptRows) {
  if (column >= found.kept.columns) {
    findRows(found, column);
    return found.found;
  }
  const SimilarRow* rows = keptRows;
  keptRows += count;
  return rows;
}

// Stores each column's own rows, kept or found again, at their place: the row's list position in
// ir (for mirrorRows to use) and the value in pr.
static void fillOwnRows(AttributePairs& found, const SparseView& result) {
  const SimilarRow* keptRows = found.kept.rows;
  for (uint64_t column = 0; column < found.listed; ++column) {
    const uint64_t count = found.own[column] - found.ownStart[column];
    const SimilarRow* rows = rowsOf(found, column, count, keptRows);
    for (uint64_t k = 0, at = found.ownStart[column]; k < count; ++k, ++at) {
      result.ir[at] = rows[k].row;
      result.pr[at] = valueOf(found, column, rows[k]);
    }
    advanceTenths(found.progress, found.listed + column + 1);
  }
}

// Stores the pairs where some of their columns are not the result's: each column's rows, kept or
// found again, in its column when it is one (rows ascending from the column's own) and in each
// row's column (from the earlier columns, in order) when that is one.
static void fillPairs(AttributePairs& found, const SparseView& result) {
  const SimilarRow* keptRows = found.kept.rows;
  for (uint64_t column = 0; column < found.listed; ++column) {
    const bool own = resultColumn(found, column) >= 0;
    const uint64_t count = own ? found.own[column] - found.ownStart[column] : found.own[column];
    const SimilarRow* rows = rowsOf(found, column, count, keptRows);
    for (uint64_t k = 0; k < count; ++k) {
      const uint64_t row = rows[k].row;
      const double value = valueOf(found, column, rows[k]);
      if (own) {
        result.ir[found.ownStart[column]] = widen(found.nodes[row]);
        result.pr[found.ownStart[column]++] = value;
      }
      if (row != column && resultColumn(found, row) >= 0) {
        result.ir[found.mirrored[row]] = widen(found.nodes[column]);
        result.pr[found.mirrored[row]++] = value;
      }
    }
    advanceTenths(found.progress, found.listed + column + 1);
  }
}

// Writes each column's top values, rows ascending.
static void storeTop(AttributePairs& found, const SparseView& result) {
  uint64_t position = 0;
  for (int32_t c = 0; c < found.top.columns; ++c) {
    result.jc[c] = position;
    sortTopByRow(found.top, c);
    const TopEntry* column = found.top.entries + found.top.starts[c];
    for (int32_t i = 0; i < found.top.sizes[c]; ++i, ++position) {
      result.ir[position] = widen(found.nodes[column[i].row]);
      result.pr[position] = column[i].value;
    }
  }
  result.jc[found.top.columns] = position;
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
  mxFree((void*)found.search.bits);
  mxFree((void*)found.search.held);
  mxFree(found.found);
  mxFree(found.kept.rows);
  mxFree(found.own);
  mxFree(found.mirrored);
  mxFree(found.ownStart);
  mxFree(found.resultColumnOf);
  if (found.top.entries) releaseTopValues(found.top);
}

// The result's column of each list position, and the positions from the first to past the last of
// them, when the request has columns of its own.
static void findResultColumns(AttributePairs& found) {
  const AttributeRequest& request = found.request;
  found.firstColumn = 0;
  found.pastColumns = found.listed;
  if (!request.columns) return;
  found.resultColumnOf = workspaceOf<int32_t>(request.word, found.listed + 1);
  found.firstColumn = found.listed;
  found.pastColumns = 0;
  for (uint64_t p = 0, c = 0; p < found.listed; ++p) {
    while (c < (uint64_t)request.columnCount && request.columns[c] < found.nodes[p]) ++c;
    const bool listed = c < (uint64_t)request.columnCount && request.columns[c] == found.nodes[p];
    found.resultColumnOf[p] = listed ? (int32_t)c : -1;
    if (!listed) continue;
    found.firstColumn = found.firstColumn < p ? found.firstColumn : p;
    found.pastColumns = p + 1;
  }
}

// Room for each result column's top values: k, or every listed node if fewer.
static void startTop(AttributePairs& found) {
  const AttributeRequest& request = found.request;
  int32_t* rooms = workspaceOf<int32_t>(request.word, (uint64_t)request.columnCount + 1);
  const int32_t most = found.listed < (uint64_t)request.topK ? (int32_t)found.listed : request.topK;
  for (int32_t c = 0; c < request.columnCount; ++c) rooms[c] = most;
  found.top = startTopValues(request.word, request.columnCount, rooms);
  mxFree(rooms);
}

AttributeRequest attributeJaccardRequest(double threshold, uint64_t numNodes, uint64_t maxEntries, CpuPath path) {
  AttributeRequest request = {};
  request.word = "attributeJaccard";
  request.progressLine = "attributeJaccard %d%% done\n";
  request.closingLine = "end attributeJaccard => nnz=%d\n";
  request.measure = kJaccardOfAttributes;
  request.threshold = threshold;
  request.self = true;
  request.columnCount = (int32_t)numNodes;
  request.maxEntries = maxEntries;
  request.path = path;
  return request;
}

AttributePairs findAttributePairs(const AttributeRequest& request, const MatrixView& table, const int32_t* nodes,
                                  uint64_t listed) {
  const char* word = request.word;
  const uint64_t rows = paddedRows(listed), words = wordsPerNode(table.m);
  AttributePairs found = {};
  found.request = request;
  found.listed = listed;
  found.nodes = nodes;
  found.numNodes = table.n;
  uint64_t* bits = zeroedWorkspaceOf<uint64_t>(word, rows * words);
  uint32_t* held = zeroedWorkspaceOf<uint32_t>(word, rows);
  packAttributes(table, nodes, listed, bits, held);
  found.search = RowSearch{request.path, request.measure, bits, held, words, table.m, request.threshold, request.self};
  found.found = workspaceOf<SimilarRow>(word, rows + kInterleavedRows);
  findResultColumns(found);
  if (request.topK > 0) startTop(found);
  found.own = zeroedWorkspaceOf<uint64_t>(word, listed + 1);
  found.mirrored = zeroedWorkspaceOf<uint64_t>(word, listed + 1);
  found.ownStart = zeroedWorkspaceOf<uint64_t>(word, listed + 1);
  found.kept = {workspaceOf<SimilarRow>(word, kKeptRowsAtLeast), kKeptRowsAtLeast, 0, 0};
  // Two passes over the columns, counting and storing; top values take the first alone.
  found.progress = startTenths(request.progressLine, (request.topK > 0 ? 1 : 2) * listed,
                               jaccardWork(listed, table.m) >= kWorkOfASecond);
  found.entries = countColumns(found);
  found.overflowed = found.entries > request.maxEntries;
  if (found.overflowed) releasePairs(found);
  return found;
}

void storeAttributePairs(AttributePairs& found, const SparseView& S) {
  if (found.request.topK > 0) {
    storeTop(found, S);
  } else {
    startColumns(found, S.jc);
    if (isGeneral(found)) {
      fillPairs(found, S);
    } else {
      fillOwnRows(found, S);
      mirrorRows(found.nodes, found.listed, found.ownStart, found.own, found.mirrored, S);
    }
  }
  mexPrintf(found.request.closingLine, low32(found.entries));
  releasePairs(found);
}
