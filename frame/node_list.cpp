#include "frame/node_list.h"

#include "frame/errors.h"
#include "frame/sparse_view.h"
#include "frame/text.h"

// Whether every listed number truncates to a node from 1 to numNodes (not a number fails).
bool nodesInRange(const NodeList& list, uint64_t numNodes) {
  const double pastLast = (double)numNodes + 1.0;
  for (uint64_t k = 0; k < list.count; ++k)
    if (!(list.numbers[k] >= 1.0 && list.numbers[k] < pastLast)) return false;
  return true;
}

// Whether the listed node numbers, truncated, ascend strictly (they are known to be in range).
bool nodesAscend(const NodeList& list) {
  for (uint64_t k = 1; k < list.count; ++k)
    if ((int32_t)list.numbers[k] <= (int32_t)list.numbers[k - 1]) return false;
  return true;
}

void refuseSizesAndList(const char* word, uint64_t numNodes, uint64_t numAttrs, const NodeList& list,
                        const char* listName) {
  failIf(!fitsIndexWidth(numNodes) || !fitsIndexWidth(numAttrs), word, "toolarge",
         "Input nodeAtts must have fewer than 2147483648 nodes and attributes; compare smaller tables.");
  char message[200];
  const char* outside[] = {"Node numbers in ", listName,
                           " must be finite and lie from 1 to the number of nodes after truncation."};
  joinTexts(message, sizeof message, outside, 3);
  failIf(!nodesInRange(list, numNodes), word, "badnode", message);
  const char* unordered[] = {"Node numbers in ", listName, " must ascend strictly after truncation; pass unique(fix(",
                             listName, "))."};
  joinTexts(message, sizeof message, unordered, 5);
  failIf(!nodesAscend(list), word, "notascending", message);
}
