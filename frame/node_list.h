// A caller's list of nodes, 1-based numbers as doubles, and the checks the attribute modules make
// of it before any work.
#pragma once

#include <stdint.h>

// `count` node numbers (the first column of the caller's array); node k is row and column k-1.
struct NodeList {
  const double* numbers;
  uint64_t count;
};

// Whether every listed number truncates to a node from 1 to numNodes (not a number fails).
bool nodesInRange(const NodeList& list, uint64_t numNodes);

// Whether the listed node numbers, truncated, ascend strictly (they are known to be in range).
bool nodesAscend(const NodeList& list);

// Refuses, under MATLAB:<word>:<reason>, a table of 2^31 or more nodes or attributes (toolarge)
// and a list whose numbers are not finite or, truncated, lie outside 1 to numNodes (badnode) or
// do not ascend strictly (notascending); the messages call the list by `listName`.
void refuseSizesAndList(const char* word, uint64_t numNodes, uint64_t numAttrs, const NodeList& list,
                        const char* listName = "nodesToKeep");
