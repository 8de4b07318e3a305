// What the normalisation tests share: common-neighbour counts of random graphs as plain arrays.
#pragma once

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/plugins.h"

// A sparse matrix of common-neighbour counts, C = G * G, with the degrees of G's nodes.
struct Neighbourhoods : PlainSparse {
  std::vector<double> degrees;
};

// An undirected graph on n nodes, each pair joined with probability `density`; C stores every
// positive count and, with probability `zeros`, a 0 where a pair shares no neighbour.
inline Neighbourhoods randomNeighbourhoods(std::mt19937& random, size_t n, double density, double zeros) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<char> joined(n * n, 0);
  for (size_t i = 0; i < n; ++i)
    for (size_t k = i + 1; k < n; ++k) joined[i * n + k] = joined[k * n + i] = unit(random) < density;
  Neighbourhoods graph;
  graph.m = graph.n = n;
  graph.degrees.assign(n, 0.0);
  for (size_t i = 0; i < n; ++i)
    for (size_t k = 0; k < n; ++k) graph.degrees[i] += joined[i * n + k];
  for (size_t j = 0; j < n; ++j) {
    for (size_t r = 0; r < n; ++r) {
      int shared = 0;
      for (size_t k = 0; k < n; ++k) shared += joined[r * n + k] && joined[k * n + j];
      if (shared > 0 || unit(random) < zeros) {
        graph.ir.push_back(r);
        graph.pr.push_back(shared);
      }
    }
    graph.jc.push_back(graph.ir.size());
  }
  return graph;
}
