// The k largest values of each column of a result with their rows, kept in host workspace as the
// pairs are found: a heap per column whose root is the least of its values, among equal values
// the one of the larger row, so that ties go to the smaller row.
#pragma once

#include <stdint.h>

// A kept value and its row.
struct TopEntry {
  int32_t row;
  double value;
};

// For each of `columns` columns the room for its largest values, at most k: column c's heap is
// entries[starts[c]] to entries[starts[c + 1] - 1], sizes[c] of them held.
struct TopValues {
  int32_t columns;
  TopEntry* entries;
  uint64_t* starts;
  int32_t* sizes;
  double* bars;      // per column: the least value it holds once full, below which no value enters; else -Inf
  int32_t* barRows;  // ... and that value's row, before which an equal value enters; else INT32_MAX
  bool sharesStarts;  // a worker's own top values, whose starts belong to the ones it was made like
};

// Room for each of `columns` columns: rooms[c] entries (k, or fewer where a column cannot have
// so many values). The call ends in MATLAB:<word>:nomem when the host cannot give it.
TopValues startTopValues(const char* word, int32_t columns, const int32_t* rooms);

// Empty top values with the rooms of `model`'s columns, for one worker of a pass; their starts
// are model's, which must outlive them.
TopValues startTopValuesLike(const char* word, const TopValues& model);

// Offers every value `from` holds in columns first to past-1 to the same columns of `into`: each
// then holds the largest of both, as if every value had been offered to it alone.
void mergeTopValues(TopValues& into, const TopValues& from, int32_t first, int32_t past);

// Whether entry a ranks before b: a larger value, or the same value and a smaller row.
inline bool ranksBefore(const TopEntry& a, const TopEntry& b) {
  return a.value > b.value || (a.value == b.value && a.row < b.row);
}

// Restores the heap of `heap` (`size` entries) below `root`, the least-ranked entry at the root.
void siftTopDown(TopEntry* heap, int32_t size, int32_t root);

// Restores the heap of `heap` after its entry `child` was added at the end.
void siftTopUp(TopEntry* heap, int32_t child);

// Whether `value` of row `row` enters column `column`: it has room, or the value ranks before the
// least it holds; told from the column's bar alone, without reading its heap.
inline bool entersTop(const TopValues& top, int32_t column, int32_t row, double value) {
  // Most values fall below the bar: one comparison turns them away.
  const double bar = top.bars[column];
  return value >= bar && (value > bar || row < top.barRows[column]);
}

// Offers `value` of row `row` to column `column`: kept while the column has room, else when it
// ranks before the least it holds, which it then replaces. `value` must not be NaN.
inline void offerTop(TopValues& top, int32_t column, int32_t row, double value) {
  if (!entersTop(top, column, row, value)) return;
  TopEntry* heap = top.entries + top.starts[column];
  const int32_t room = (int32_t)(top.starts[column + 1] - top.starts[column]);
  int32_t& size = top.sizes[column];
  if (room == 0) return;
  if (size < room) {
    heap[size] = TopEntry{row, value};
    siftTopUp(heap, size++);
  } else {
    heap[0] = TopEntry{row, value};
    siftTopDown(heap, size, 0);
  }
  if (size < room) return;
  top.bars[column] = heap[0].value;
  top.barRows[column] = heap[0].row;
}

// The entries all columns hold.
uint64_t topEntries(const TopValues& top);

// Sorts the entries of column `column` by row, ascending; the column is no heap afterwards.
void sortTopByRow(TopValues& top, int32_t column);

// Frees the workspace.
void releaseTopValues(TopValues& top);
