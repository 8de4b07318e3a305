#include "frame/pair_results.h"

#include "frame/host.h"
#include "frame/threads.h"
#include "frame/work_slices.h"

#include "frame/workspace.h"

ResultColumns resultColumnsOf(const PairRequest& request, const int32_t* nodes, int32_t count) {
  ResultColumns columns = {0, nodes};
  if (!request.columns) return columns;
  int32_t* of = workspaceOf<int32_t>(request.word, (uint64_t)count + 1);
  // Both lists ascend: one walk through the columns places every node.
  for (int32_t p = 0, c = 0; p < count; ++p) {
    const int32_t node = nodes ? nodes[p] : p;
    while (c < request.columnCount && request.columns[c] < node) ++c;
    of[p] = c < request.columnCount && request.columns[c] == node ? c : -1;
  }
  columns.of = of;
  return columns;
}

void storeTopValues(const char* word, TopValues& top, const int32_t* nodes, const SparseView& S, int32_t workers) {
  uint64_t* sizes = workspaceOf<uint64_t>(word, (uint64_t)top.columns + 1);
  for (int32_t c = 0; c < top.columns; ++c) sizes[c] = (uint64_t)top.sizes[c];
  cumulativeStarts(S.jc, sizes, top.columns);
  mxFree(sizes);
  int32_t slices[kMostThreads + 1];
  const uint64_t* jc = S.jc;
  sliceByCost([jc](int32_t c) { return jc[c] + (uint64_t)c; }, 0, top.columns, workers, slices);
  auto write = [&](int32_t worker) {
    for (int32_t c = slices[worker]; c < slices[worker + 1]; ++c) {
      sortTopByRow(top, c);
      const TopEntry* column = top.entries + top.starts[c];
      for (int32_t i = 0; i < top.sizes[c]; ++i) {
        S.ir[jc[c] + (uint64_t)i] = widen(nodes ? nodes[column[i].row] : column[i].row);
        S.pr[jc[c] + (uint64_t)i] = column[i].value;
      }
    }
  };
  runEachWorker(write, workers);
}

uint64_t cumulativeStarts(uint64_t* jc, uint64_t* counts, int32_t columns) {
  uint64_t start = 0;
  for (int32_t c = 0; c < columns; ++c) {
    const uint64_t entries = counts[c];
    jc[c] = counts[c] = start;
    start += entries;
  }
  jc[columns] = start;
  return start;
}
