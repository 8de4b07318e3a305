#include "attributes/attribute_weights.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/threads.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"
#include "neighbors/neighbor_store.h"

// Work worth a thread of its own, in the units of the neighbourhood pass.
static const uint64_t kWorkPerThread = UINT64_C(1) << 21;

// The value of entry k of a table's column, its position in the column's values: a logical one is 1.
static double valueAt(const MatrixView& table, uint64_t k) {
  return table.pr ? table.pr[k] : table.logicals[k] != 0 ? 1.0 : 0.0;
}

// Calls `held(attribute, value)` for each attribute node v holds, ascending: its nonzero values
// (a sparse table's rows past the table, which no well-formed array has, are left out).
template <typename Held>
static void forEachHeld(const MatrixView& table, uint64_t v, const Held& held) {
  if (table.jc) {
    for (uint64_t k = table.jc[v]; k < table.jc[v + 1]; ++k) {
      const double value = valueAt(table, k);
      if (table.ir[k] < table.m && value != 0.0) held((int32_t)table.ir[k], value);
    }
    return;
  }
  for (uint64_t a = 0; a < table.m; ++a) {
    const double value = valueAt(table, v * table.m + a);
    if (value != 0.0) held((int32_t)a, value);
  }
}

bool weightsAreValues(const MatrixView& table) {
  if (!table.pr) return true;
  const uint64_t stored = table.jc ? table.jc[table.n] : table.m * table.n;
  bool values = true;
  for (uint64_t k = 0; k < stored; ++k) values &= table.pr[k] >= 0.0 && isFinite(table.pr[k]);
  return values;
}

// A's rows: each listed node's attributes and values; the other nodes' rows empty. `workers`
// workers each fill a slice of the listed nodes.
static RowPattern nodeRows(const char* word, const MatrixView& table, const int32_t* nodes, uint64_t listed,
                           int32_t workers) {
  const int32_t n = (int32_t)table.n;
  RowPattern A = {n, zeroedWorkspaceOf<int32_t>(word, (uint64_t)n + 1), 0, 0};
  for (uint64_t p = 0; p < listed; ++p) {
    int32_t held = 0;
    forEachHeld(table, (uint64_t)nodes[p], [&held](int32_t, double) { ++held; });
    A.starts[nodes[p] + 1] = held;
  }
  for (int32_t v = 0; v < n; ++v) A.starts[v + 1] += A.starts[v];
  A.columns = workspaceOf<int32_t>(word, (uint64_t)A.starts[n] + 1);
  A.weights = workspaceOf<double>(word, (uint64_t)A.starts[n] + 1);
  int32_t slices[kMostThreads + 1];
  const int32_t* starts = A.starts;
  const int32_t count = (int32_t)listed;
  // The listed nodes ascend: the work before each is where its row starts.
  sliceByCost([starts, nodes, count, n](int32_t p) { return (uint64_t)starts[p < count ? nodes[p] : n] + (uint64_t)p; },
              0, count, workers, slices);
  auto fill = [&](int32_t worker) {
    for (int32_t p = slices[worker]; p < slices[worker + 1]; ++p) {
      int32_t at = A.starts[nodes[p]];
      forEachHeld(table, (uint64_t)nodes[p], [&](int32_t attribute, double value) {
        A.columns[at] = attribute;
        A.weights[at++] = value;
      });
    }
  };
  runEachWorker(fill, workers);
  return A;
}

// B's rows, the transpose of A: each attribute's nodes, ascending, with their values; `workers`
// workers each read all of A and fill the rows of a slice of the attributes.
static RowPattern attributeRows(const char* word, const RowPattern& A, int32_t attributes, int32_t workers) {
  RowPattern B = {attributes, zeroedWorkspaceOf<int32_t>(word, (uint64_t)attributes + 1), 0, 0};
  for (int32_t p = 0; p < A.starts[A.n]; ++p) ++B.starts[A.columns[p] + 1];
  for (int32_t a = 0; a < attributes; ++a) B.starts[a + 1] += B.starts[a];
  B.columns = workspaceOf<int32_t>(word, (uint64_t)B.starts[attributes] + 1);
  B.weights = workspaceOf<double>(word, (uint64_t)B.starts[attributes] + 1);
  int32_t* next = workspaceOf<int32_t>(word, (uint64_t)attributes + 1);
  for (int32_t a = 0; a < attributes; ++a) next[a] = B.starts[a];
  int32_t slices[kMostThreads + 1];
  const int32_t* starts = B.starts;
  sliceByCost([starts](int32_t a) { return (uint64_t)starts[a] + (uint64_t)a; }, 0, attributes, workers, slices);
  auto fill = [&](int32_t worker) {
    for (int32_t v = 0; v < A.n; ++v)
      for (int32_t p = A.starts[v]; p < A.starts[v + 1]; ++p) {
        const int32_t a = A.columns[p];
        if (a < slices[worker] || a >= slices[worker + 1]) continue;
        const int32_t at = next[a]++;
        B.columns[at] = v;
        B.weights[at] = A.weights[p];
      }
  };
  runEachWorker(fill, workers);
  mxFree(next);
  return B;
}

NeighborPairs findWeightedAttributePairs(const NeighborRequest& request, const MatrixView& table, const int32_t* nodes,
                                         uint64_t listed) {
  const char* word = request.pairs.word;
  CallThreads threads = {request.pairs.threads, 0};
  const uint64_t stored = table.jc ? table.jc[table.n] : table.m * table.n;
  const int32_t workers = threadsFor(threads, 8 * stored + table.n, kWorkPerThread);
  RowPattern A = nodeRows(word, table, nodes, listed, workers);
  RowPattern B = attributeRows(word, A, (int32_t)table.m, workers);
  NeighborPairs found = findPairsOfPatterns(request, A, B);
  releasePattern(B);
  releasePattern(A);
  return found;
}
