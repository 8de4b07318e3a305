// Sorting a short array in place without the C++ library, which the plug-ins do not link:
// insertion for a few items, heap sort beyond.
#pragma once

#include <stdint.h>

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
  const auto siftDown = [&](int64_t root, int64_t size) {
    const Item item = items[root];
    for (int64_t child = 2 * root + 1; child < size; child = 2 * root + 1) {
      if (child + 1 < size && before(items[child], items[child + 1])) ++child;
      if (!before(item, items[child])) break;
      items[root] = items[child];
      root = child;
    }
    items[root] = item;
  };
  for (int64_t root = count / 2 - 1; root >= 0; --root) siftDown(root, count);
  for (int64_t end = count - 1; end > 0; --end) {
    const Item last = items[end];
    items[end] = items[0];
    items[0] = last;
    siftDown(0, end);
  }
}
