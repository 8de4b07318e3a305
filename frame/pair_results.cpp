#include "frame/pair_results.h"

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

void storeTopValues(TopValues& top, const int32_t* nodes, const SparseView& S) {
  uint64_t position = 0;
  for (int32_t c = 0; c < top.columns; ++c) {
    S.jc[c] = position;
    sortTopByRow(top, c);
    const TopEntry* column = top.entries + top.starts[c];
    for (int32_t i = 0; i < top.sizes[c]; ++i, ++position) {
      S.ir[position] = widen(nodes ? nodes[column[i].row] : column[i].row);
      S.pr[position] = column[i].value;
    }
  }
  S.jc[top.columns] = position;
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
