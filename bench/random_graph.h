// The graph the speed comparisons use: n nodes with about `degree` neighbours each, its
// common-neighbour counts C = G * G as plain arrays and its degrees, as a user would compute them.
#pragma once

#include <stdint.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bench/random_sparse.h"

struct RandomGraph {
  PlainSparse C;                // C = G * G, rows ascending, the diagonal (each node's degree) included
  std::vector<double> degrees;  // full(sum(G, 2))
};

// An undirected graph without loops, each node joined to about `degree` random others.
inline RandomGraph randomGraph(uint64_t n, unsigned degree, unsigned seed) {
  std::mt19937_64 random(seed);
  std::vector<std::vector<uint32_t>> neighbours(n);
  for (uint64_t v = 0; v < n; ++v)
    for (unsigned e = 0; e < degree / 2; ++e) {
      const uint64_t u = random() % n;
      if (u == v) continue;
      neighbours[v].push_back((uint32_t)u);
      neighbours[u].push_back((uint32_t)v);
    }
  RandomGraph graph;
  graph.C.n = n;
  graph.C.jc.push_back(0);
  for (auto& list : neighbours) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    graph.degrees.push_back((double)list.size());
  }
  std::vector<double> shared(n, 0.0);
  std::vector<uint32_t> rows;
  for (uint64_t j = 0; j < n; ++j) {
    rows.clear();
    for (uint32_t k : neighbours[j])
      for (uint32_t r : neighbours[k]) {
        if (shared[r] == 0.0) rows.push_back(r);
        shared[r] += 1.0;
      }
    std::sort(rows.begin(), rows.end());
    for (uint32_t r : rows) {
      graph.C.ir.push_back(r);
      graph.C.pr.push_back(shared[r]);
      shared[r] = 0.0;
    }
    graph.C.jc.push_back(graph.C.ir.size());
  }
  return graph;
}
