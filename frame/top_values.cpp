#include "frame/top_values.h"

#include "frame/host.h"
#include "frame/numbers.h"
#include "frame/sorting.h"
#include "frame/workspace.h"

// Every column of `top` lets any value in: its bar -Inf before every row.
static void clearBars(TopValues& top) {
  for (int32_t c = 0; c < top.columns; ++c) top.bars[c] = -infinity();
  for (int32_t c = 0; c < top.columns; ++c) top.barRows[c] = INT32_MAX;
}

TopValues startTopValues(const char* word, int32_t columns, const int32_t* rooms) {
  TopValues top = {columns, 0, workspaceOf<uint64_t>(word, (uint64_t)columns + 1),
                   zeroedWorkspaceOf<int32_t>(word, (uint64_t)columns), workspaceOf<double>(word, (uint64_t)columns),
                   workspaceOf<int32_t>(word, (uint64_t)columns), false};
  top.starts[0] = 0;
  for (int32_t c = 0; c < columns; ++c) top.starts[c + 1] = top.starts[c] + (uint64_t)rooms[c];
  clearBars(top);
  top.entries = workspaceOf<TopEntry>(word, top.starts[columns]);
  return top;
}

TopValues startTopValuesLike(const char* word, const TopValues& model) {
  TopValues top = {model.columns, 0, model.starts, zeroedWorkspaceOf<int32_t>(word, (uint64_t)model.columns),
                   workspaceOf<double>(word, (uint64_t)model.columns), workspaceOf<int32_t>(word, (uint64_t)model.columns),
                   true};
  clearBars(top);
  top.entries = workspaceOf<TopEntry>(word, top.starts[top.columns]);
  return top;
}

void mergeTopValues(TopValues& into, const TopValues& from, int32_t first, int32_t past) {
  for (int32_t c = first; c < past; ++c) {
    const TopEntry* held = from.entries + from.starts[c];
    for (int32_t i = 0; i < from.sizes[c]; ++i) offerTop(into, c, held[i].row, held[i].value);
  }
}

void siftTopDown(TopEntry* heap, int32_t size, int32_t root) {
  siftItemDown(heap, size, root, [](const TopEntry& a, const TopEntry& b) { return ranksBefore(a, b); });
}

void siftTopUp(TopEntry* heap, int32_t child) {
  const TopEntry entry = heap[child];
  for (int32_t parent = (child - 1) / 2; child > 0 && ranksBefore(heap[parent], entry); parent = (child - 1) / 2) {
    heap[child] = heap[parent];
    child = parent;
  }
  heap[child] = entry;
}

uint64_t topEntries(const TopValues& top) {
  uint64_t held = 0;
  for (int32_t column = 0; column < top.columns; ++column) held += (uint64_t)top.sizes[column];
  return held;
}

void sortTopByRow(TopValues& top, int32_t column) {
  sortItems(top.entries + top.starts[column], top.sizes[column],
            [](const TopEntry& a, const TopEntry& b) { return a.row < b.row; });
}

void releaseTopValues(TopValues& top) {
  mxFree(top.entries);
  if (!top.sharesStarts) mxFree(top.starts);
  mxFree(top.sizes);
  mxFree(top.bars);
  mxFree(top.barRows);
  top.bars = 0;
  top.barRows = 0;
  top.entries = 0;
  top.starts = 0;
  top.sizes = 0;
}
