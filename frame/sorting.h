// Sorting a short array in place without the C++ library, which the plug-ins do not link: insertion
// for a few items, quicksort with a median of three beyond, and heap sort where quicksort's
// partitions keep coming out lopsided, so that no order of the items costs more than n log n.
#pragma once

#include <stdint.h>

// Moves items[root] down the heap items[0..size-1], whose root is the last in order, until no
// child comes after it in order.
template <typename Item, typename Index, typename Before>
void siftItemDown(Item* items, Index size, Index root, Before before) {
  const Item item = items[root];
  for (Index child = 2 * root + 1; child < size; child = 2 * root + 1) {
    if (child + 1 < size && before(items[child], items[child + 1])) ++child;
    if (!before(item, items[child])) break;
    items[root] = items[child];
    root = child;
  }
  items[root] = item;
}

// Sorts items[0..count-1] by insertion.
template <typename Item, typename Before>
void insertionSort(Item* items, int64_t count, Before before) {
  for (int64_t i = 1; i < count; ++i) {
    const Item item = items[i];
    int64_t j = i;
    for (; j > 0 && before(item, items[j - 1]); --j) items[j] = items[j - 1];
    items[j] = item;
  }
}

// Sorts items[0..count-1] by heap sort: a heap with the last in order at its root, then the root
// moved to the end, count times.
template <typename Item, typename Before>
void heapSort(Item* items, int64_t count, Before before) {
  for (int64_t root = count / 2 - 1; root >= 0; --root) siftItemDown(items, count, root, before);
  for (int64_t end = count - 1; end > 0; --end) {
    const Item last = items[end];
    items[end] = items[0];
    items[0] = last;
    siftItemDown(items, end, (int64_t)0, before);
  }
}

// Swaps two items.
template <typename Item>
inline void swapItems(Item& a, Item& b) {
  const Item kept = a;
  a = b;
  b = kept;
}

// Sorts items[0..count-1], quicksort while `depth` lopsided partitions remain, heap sort after.
template <typename Item, typename Before>
void introSort(Item* items, int64_t count, Before before, int depth) {
  while (count > 16) {
    if (depth-- == 0) return heapSort(items, count, before);
    // The median of the first, middle and last items is the pivot, left at items[0].
    Item* middle = items + count / 2;
    Item* last = items + count - 1;
    if (before(*middle, *items)) swapItems(*middle, *items);
    if (before(*last, *middle)) swapItems(*last, *middle);
    if (before(*middle, *items)) swapItems(*middle, *items);
    swapItems(*items, *middle);
    const Item pivot = items[0];
    // Hoare's partition: items[1..i-1] not after the pivot, items[j+1..] not before it.
    int64_t i = 1, j = count - 1;
    for (;;) {
      while (before(items[i], pivot)) ++i;
      while (before(pivot, items[j])) --j;
      if (i >= j) break;
      swapItems(items[i++], items[j--]);
    }
    swapItems(items[0], items[j]);
    // The smaller side first by recursion, the larger by the loop: the stack stays shallow.
    if (j < count - 1 - j) {
      introSort(items, j, before, depth);
      items += j + 1;
      count -= j + 1;
    } else {
      introSort(items + j + 1, count - 1 - j, before, depth);
      count = j;
    }
  }
  insertionSort(items, count, before);
}

// Sorts items[0..count-1] so that before(items[i], items[j]) never holds for i > j. `before` must
// be a strict order; items it does not order stay in no particular order.
template <typename Item, typename Before>
void sortItems(Item* items, int64_t count, Before before) {
  int depth = 0;
  for (int64_t size = count; size > 1; size /= 2) depth += 2;
  introSort(items, count, before, depth);
}

// Writes to order[0..count-1] the items 0 to count - 1 by ascending key keyOf(i), a whole number
// from 0 to `largest`, items of one key in their own order: a counting sort, with `firstOf` room
// for largest + 2 counts, all zero.
template <typename KeyOf>
void orderByKey(int32_t count, int32_t largest, KeyOf keyOf, int32_t* firstOf, int32_t* order) {
  for (int32_t i = 0; i < count; ++i) ++firstOf[keyOf(i) + 1];
  for (int32_t key = 0; key <= largest; ++key) firstOf[key + 1] += firstOf[key];
  for (int32_t i = 0; i < count; ++i) order[firstOf[keyOf(i)]++] = i;
}
