#include "neighbors/neighbor_store.h"

#include "frame/host.h"
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

// Whether each row's pairs are kept with their columns ascending, so that mirror images are
// written from the pairs rather than from the result.
static bool sortsRows(const NeighborPairs& found) { return found.symmetric && found.columns.of; }

// Sets the column starts of the result and, in `next`, where each column's next entry goes: the
// pairs in row order, each in its column and, mirrored, in its row's.
static void columnStarts(const NeighborPairs& found, uint64_t* jc, uint64_t* next) {
  const int32_t columns = found.request.pairs.columnCount;
  for (int32_t c = 0; c < columns; ++c) next[c] = 0;
  for (int32_t r = 0, k = 0; r < found.n; ++r) {
    for (; k < found.rowEnds[r]; ++k) {
      const int32_t j = found.pairs[k].column;
      const int32_t column = columnOfNode(found.columns, j), mirror = columnOfNode(found.columns, r);
      if (column >= 0) ++next[column];
      if (found.symmetric && j != r && mirror >= 0) ++next[mirror];
    }
  }
  cumulativeStarts(jc, next, columns);
}

// Writes entry (row, column) of `value` at the next free position of its column of the result.
static void put(const SparseView& S, uint64_t* next, int32_t column, int32_t row, double value) {
  const uint64_t position = next[column]++;
  S.pr[position] = value;
  S.ir[position] = widen(row);
}

// Writes the pairs into their columns, row by row: rows ascend in each column. A symmetric G's
// mirror images come from the rows' sorted pairs, after the column's own, where rows are sorted.
static void storePairs(const NeighborPairs& found, const SparseView& S, uint64_t* next) {
  for (int32_t r = 0, k = 0; r < found.n; ++r) {
    for (; k < found.rowEnds[r]; ++k) {
      const int32_t j = found.pairs[k].column;
      const double value = valueOf(found, r, j, found.pairs[k].shared, found.sums ? found.sums[k] : 0.0);
      const int32_t column = columnOfNode(found.columns, j), mirror = columnOfNode(found.columns, r);
      if (column >= 0) put(S, next, column, r, value);
      if (sortsRows(found) && j != r && mirror >= 0) put(S, next, mirror, j, value);
    }
  }
}

// The mirror images of a symmetric G's pairs, whose rows are in every column of the result:
// entry (r, j) with r < j gives (j, r), after column r's own pairs and in ascending order of j.
// Column j gets mirror images only from columns after it, so its own pairs still end at next[j]
// when it is read.
static void mirrorPairs(const NeighborPairs& found, const SparseView& S, uint64_t* next) {
  for (int32_t j = 0; j < found.n; ++j) {
    const uint64_t end = next[j];
    for (uint64_t p = S.jc[j]; p < end; ++p) {
      const int32_t r = low32(S.ir[p]);
      if (r != j) put(S, next, r, j, S.pr[p]);
    }
  }
}

void storeNeighborPairs(NeighborPairs& found, const SparseView& S) {
  if (found.request.pairs.topK > 0) {
    storeTopValues(found.top, 0, S);
  } else {
    uint64_t* next = workspaceOf<uint64_t>(found.request.pairs.word, (uint64_t)found.request.pairs.columnCount + 1);
    columnStarts(found, S.jc, next);
    storePairs(found, S, next);
    if (found.symmetric && !sortsRows(found)) mirrorPairs(found, S, next);
    mxFree(next);
  }
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
