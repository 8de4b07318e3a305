// What a similarity pass over every node of a table needs besides the table: the list of all
// nodes and an output with room for every ordered pair.
#pragma once

#include <stdint.h>

#include <vector>

#include "frame/node_list.h"
#include "frame/sparse_view.h"

struct EveryPair {
  std::vector<double> list;
  uint64_t room;
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
  NodeList nodes() const { return NodeList{list.data(), list.size()}; }
  SparseView output() { return SparseView{jc.size() - 1, jc.size() - 1, pr.data(), ir.data(), jc.data(), room}; }
};

// Nodes 1 to numNodes, and an output of numNodes columns with room for numNodes^2 entries.
inline EveryPair everyPairOf(uint64_t numNodes) {
  EveryPair pass;
  for (uint64_t k = 0; k < numNodes; ++k) pass.list.push_back((double)(k + 1));
  pass.room = numNodes * numNodes;
  pass.jc.resize(numNodes + 1);
  pass.ir.resize(pass.room);
  pass.pr.resize(pass.room);
  return pass;
}
