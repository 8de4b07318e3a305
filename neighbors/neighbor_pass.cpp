#include "neighbors/neighbor_pass.h"

#include "frame/host.h"
#include "frame/portable.h"
#include "frame/progress.h"
#include "frame/workspace.h"

// Products of a pass (one count added for a neighbour of a neighbour) that take about a second here.
static const uint64_t kProductsPerSecond = 100000000;

// The rows of G's pattern with 32-bit positions: row r holds the columns of its edges, ascending,
// columns[starts[r]] up to columns[starts[r+1]-1].
struct RowPattern {
  int32_t* starts;
  int32_t* columns;
};

// What a pass counts in: a count for every column, the columns the current row reached, and for a
// symmetric pattern the first position of each row's columns not below the current row.
struct Counts {
  int32_t* shared;
  int32_t* reached;
  int32_t* firstFrom;
  int64_t room;  // the room of the pairs
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

// The rows of G's pattern from the counts of edges of each row; `next` is workspace of n entries.
static RowPattern rowPatternOf(const char* word, const MatrixView& G, const int32_t* degrees, int32_t edges,
                               int32_t* next) {
  const int32_t n = (int32_t)G.n;
  RowPattern P = {workspaceOf<int32_t>(word, (uint64_t)n + 1), workspaceOf<int32_t>(word, (uint64_t)edges)};
  P.starts[0] = 0;
  for (int32_t r = 0; r < n; ++r) P.starts[r + 1] = P.starts[r] + degrees[r];
  for (int32_t r = 0; r < n; ++r) next[r] = P.starts[r];
  for (int32_t j = 0; j < n; ++j) {
    const int32_t end = low32(G.jc[j + 1]);
    for (int32_t k = low32(G.jc[j]); k < end; ++k)
      if (isEdge(G, k)) P.columns[next[low32(G.ir[k])]++] = j;
  }
  return P;
}

// Whether the pattern's rows equal G's columns (rows ascending in both): P is symmetric.
static bool isSymmetric(const MatrixView& G, const RowPattern& P) {
  for (int32_t j = 0; (uint64_t)j < G.n; ++j) {
    int32_t p = P.starts[j];
    const int32_t end = low32(G.jc[j + 1]);
    for (int32_t k = low32(G.jc[j]); k < end; ++k) {
      if (!isEdge(G, k)) continue;
      if (p == P.starts[j + 1] || P.columns[p] != low32(G.ir[k])) return false;
      ++p;
    }
    if (p != P.starts[j + 1]) return false;
  }
  return true;
}

// The products of the whole pass. Row r adds a count for each edge out of every k it has an edge
// to: one for each edge r -> k -> j. Of a symmetric pattern only the columns j >= r are counted,
// d(d+1)/2 through a node of degree d.
static uint64_t productsOf(const RowPattern& P, const int32_t* degrees, int32_t n, bool symmetric) {
  uint64_t products = 0;
  if (symmetric) {
    for (int32_t k = 0; k < n; ++k) products += (uint64_t)degrees[k] * ((uint64_t)degrees[k] + 1) / 2;
    return products;
  }
  for (int32_t p = 0; p < P.starts[n]; ++p) products += (uint64_t)degrees[P.columns[p]];
  return products;
}

// The first position of row k's columns that is not below `column`, moved on from where it was.
static int32_t firstFrom(const RowPattern& P, Counts& counts, int32_t k, int32_t column) {
  int32_t p = counts.firstFrom[k];
  while (p < P.starts[k + 1] && P.columns[p] < column) ++p;
  counts.firstFrom[k] = p;
  return p;
}

// Adds one to the count of every column j that row r reaches through an edge r -> k -> j (only
// j >= r for a symmetric pattern), listing each column the first time it is reached. Returns how
// many were listed; adds the products to `done`.
static int32_t countRow(const RowPattern& P, bool symmetric, int32_t r, Counts& counts, uint64_t& done) {
  int32_t reached = 0;
  const int32_t last = P.starts[r + 1];
  // On large graphs the neighbours' positions and columns are far apart in memory: they are
  // fetched ahead, all positions first, then the next neighbour's columns while one is counted.
  if (symmetric)
    for (int32_t p = P.starts[r]; p < last; ++p) prefetchForReading(counts.firstFrom + P.columns[p]);
  for (int32_t p = P.starts[r]; p < last; ++p) {
    const int32_t k = P.columns[p];
    if (symmetric && p + 1 < last) prefetchForReading(P.columns + counts.firstFrom[P.columns[p + 1]]);
    const int32_t start = symmetric ? firstFrom(P, counts, k, r) : P.starts[k];
    const int32_t end = P.starts[k + 1];
    for (int32_t q = start; q < end; ++q) {
      const int32_t column = P.columns[q];
      if (counts.shared[column]++ == 0) counts.reached[reached++] = column;
    }
    done += (uint64_t)(end - start);
  }
  return reached;
}

// Moves the reached columns of row r whose value is above the threshold to the front of the list
// and clears the counts of the others. Returns how many were kept; adds their entries in the
// result (two for a pair off the diagonal of a symmetric pattern) to `entries`.
static int32_t keepAbove(const NeighborPairs& found, int32_t r, double threshold, Counts& counts, int32_t reached,
                         int64_t& entries) {
  int32_t kept = 0;
  for (int32_t i = 0; i < reached; ++i) {
    const int32_t j = counts.reached[i];
    if (found.measure.valueOf(counts.shared[j], found.degrees[r], found.degrees[j]) > threshold) {
      counts.reached[kept++] = j;
      entries += found.symmetric && j != r ? 2 : 1;
    } else {
      counts.shared[j] = 0;
    }
  }
  return kept;
}

// Gives the pairs room for `needed`, at least doubling it.
static void makeRoom(NeighborPairs& found, Counts& counts, int64_t needed) {
  if (needed <= counts.room) return;
  int64_t room = counts.room < 1024 ? 1024 : 2 * counts.room;
  if (room < needed) room = needed;
  found.pairs = resizedWorkspace(found.measure.word, found.pairs, (uint64_t)room);
  counts.room = room;
}

// Appends the kept columns with their counts, clearing the counts.
static void appendKept(NeighborPairs& found, Counts& counts, int32_t kept) {
  makeRoom(found, counts, (int64_t)found.stored + kept);
  for (int32_t i = 0; i < kept; ++i) {
    const int32_t j = counts.reached[i];
    found.pairs[found.stored++] = NeighborPair{j, counts.shared[j]};
    counts.shared[j] = 0;
  }
}

// Frees what a pass keeps for storing and marks it as holding nothing.
static void releasePairs(NeighborPairs& found) {
  mxFree(found.pairs);
  mxFree(found.rowEnds);
  mxFree(found.degrees);
  found.pairs = 0;
  found.rowEnds = found.degrees = 0;
  found.stored = found.entries = 0;
}

// Finds the pairs of every row in turn, stopping when the result would pass the limit.
static void findRows(NeighborPairs& found, const RowPattern& P, double threshold, const NeighborLimits& limits,
                     TenthsProgress& progress, Counts& counts) {
  uint64_t done = 0;
  int64_t entries = 0;
  for (int32_t r = 0; r < found.n; ++r) {
    const int32_t reached = countRow(P, found.symmetric, r, counts, done);
    const int32_t kept = keepAbove(found, r, threshold, counts, reached, entries);
    if (entries > limits.maxEntries) {
      found.overflowed = true;
      return;
    }
    appendKept(found, counts, kept);
    found.entries = (int32_t)entries;
    found.rowEnds[r] = found.stored;
    advanceTenths(progress, done);
  }
}

NeighborPairs findNeighborPairs(const NeighborMeasure& measure, const MatrixView& G, double threshold,
                                const NeighborLimits& limits) {
  const int32_t n = (int32_t)G.n;
  NeighborPairs found = {measure, false, false, n, 0, 0, 0, workspaceOf<int32_t>(measure.word, (uint64_t)n),
                         zeroedWorkspaceOf<int32_t>(measure.word, (uint64_t)n)};
  const int32_t edges = countDegrees(G, found.degrees);
  mexPrintf("%s: n = %d, nnz(G) = %d, threshold = %f\n", measure.word, n, edges, threshold);
  Counts counts = {zeroedWorkspaceOf<int32_t>(measure.word, (uint64_t)n),
                   workspaceOf<int32_t>(measure.word, (uint64_t)n), workspaceOf<int32_t>(measure.word, (uint64_t)n),
                   0};
  const RowPattern P = rowPatternOf(measure.word, G, found.degrees, edges, counts.firstFrom);
  found.symmetric = isSymmetric(G, P);
  for (int32_t k = 0; k < n; ++k) counts.firstFrom[k] = P.starts[k];
  const uint64_t products = productsOf(P, found.degrees, n, found.symmetric);
  TenthsProgress progress = startTenths(measure.progressLine, products, products >= limits.productsShown);
  findRows(found, P, threshold, limits, progress, counts);
  mxFree(counts.firstFrom);
  mxFree(counts.reached);
  mxFree(counts.shared);
  mxFree(P.columns);
  mxFree(P.starts);
  if (found.overflowed) releasePairs(found);
  return found;
}

// Sets the column starts of the result and, in `next`, where each column's pairs as found begin:
// the pairs with rows up to the column's own. The mirror images of a symmetric pattern follow them.
static void columnStarts(const NeighborPairs& found, uint64_t* jc, int32_t* next) {
  const int32_t n = found.n;
  for (int32_t j = 0; j <= n; ++j) jc[j] = 0;
  for (int32_t j = 0; j < n; ++j) next[j] = 0;
  // First the count of pairs of column j in jc[j+1] and of mirror images in next[j].
  for (int32_t r = 0, k = 0; r < n; ++r) {
    for (; k < found.rowEnds[r]; ++k) {
      const int32_t j = found.pairs[k].column;
      ++jc[j + 1];
      if (found.symmetric && j != r) ++next[r];
    }
  }
  int32_t start = 0;
  for (int32_t j = 0; j < n; ++j) {
    const int32_t entries = (int32_t)jc[j + 1] + next[j];
    jc[j] = widen(start);
    next[j] = start;
    start += entries;
  }
  jc[n] = widen(start);
}

void storeNeighborPairs(NeighborPairs& found, const SparseView& S) {
  uint64_t *ir = S.ir, *jc = S.jc;
  double* pr = S.pr;
  const int32_t n = found.n;
  int32_t* next = workspaceOf<int32_t>(found.measure.word, (uint64_t)n);
  columnStarts(found, jc, next);
  // The pairs row by row, each at the next free position of its column: rows ascend.
  for (int32_t r = 0, k = 0; r < n; ++r) {
    for (; k < found.rowEnds[r]; ++k) {
      const NeighborPair pair = found.pairs[k];
      const int32_t position = next[pair.column]++;
      pr[position] = found.measure.valueOf(pair.shared, found.degrees[r], found.degrees[pair.column]);
      ir[position] = widen(r);
    }
  }
  // Their mirror images column by column: entry (r, j) with r < j gives (j, r), after column r's
  // own pairs and in ascending order of j. Column j gets mirror images only from columns after it,
  // so its own pairs still end at next[j] when it is read.
  for (int32_t j = 0; found.symmetric && j < n; ++j) {
    const int32_t end = next[j];
    for (int32_t p = low32(jc[j]); p < end; ++p) {
      const int32_t r = low32(ir[p]);
      if (r == j) continue;
      const int32_t position = next[r]++;
      pr[position] = pr[p];
      ir[position] = widen(j);
    }
  }
  mxFree(next);
  mexPrintf("%s: nnz(S) = %d\n", found.measure.word, found.entries);
  releasePairs(found);
}

NeighborLimits moduleLimits() { return NeighborLimits{(int32_t)kMaxEntries, kProductsPerSecond}; }
