// Sorting a short array in place without the C++ library, which the plug-ins do not link:
// insertion for a few items, heap sort beyond.
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

// Sorts items[0..count-1] so that before(items[i], items[j]) never holds for i > j. `before` must
// be a strict order; items it does not order stay in no particular order.
template <typename Item, typename Before>
void sortItems(Item* items, int64_t count, Before before) {
  if (count <= 16) {
    for (int64_t i = 1; i < count; ++i) {
      const Item item = items[i];
      int64_t j = i;
      for (; j > 0 && before(item, items[j - 1]); --j) items[j] = items[j - 1];
      items[j] = item;
    }
    return;
  }
  // A heap with the last in order at its root, then the root moved to the end, count times.
  for (int64_t root = count / 2 - 1; root >= 0; --root) siftItemDown(items, count, root, before);
  for (int64_t end = count - 1; end > 0; --end) {
    const Item last = items[end];
    items[end] = items[0];
    items[0] = last;
    siftItemDown(items, end, (int64_t)0, before);
  }
}
