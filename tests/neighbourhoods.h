// What the normalisation tests share: common-neighbour counts of random graphs as plain arrays,
// and calls of a plug-in built for the test host.
#pragma once

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

#include "tests/runner/plugin.h"

// A sparse matrix of common-neighbour counts, C = G * G, with the degrees of G's nodes.
struct Neighbourhoods {
  size_t n = 0;
  std::vector<uint64_t> jc{0}, ir;
  std::vector<double> pr;
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
  graph.n = n;
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

// A sparse result read back from the host: its column starts, rows and values.
struct Returned {
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
  size_t nzmax = 0;
  bool guardsIntact = true;
};

// Calls the plug-in at `path` with one output asked for and destroys the inputs; returns the error
// identifier it raised, or "" with `returned` filled. What it printed goes to `printed`.
inline std::string callPlugin(const std::string& path, const std::vector<mxArray*>& inputs, Returned* returned,
                              std::string* printed = nullptr) {
  const MexFunction entry = loadPlugin(path);
  mxArray* result = nullptr;
  HostError error;
  testhostTakeOutput();
  const bool served = testhostCall(entry, 1, &result, (int)inputs.size(),
                                   const_cast<const mxArray**>(inputs.data()), &error);
  const std::string text = testhostTakeOutput();
  if (printed) *printed = text;
  for (mxArray* input : inputs) testhostDestroy(input);
  if (!served) {
    if (result) testhostDestroy(result);
    return error.identifier;
  }
  const size_t n = mxGetN(result);
  const uint64_t* jc = mxGetJc_730(result);
  returned->jc.assign(jc, jc + n + 1);
  returned->ir.assign(mxGetIr_730(result), mxGetIr_730(result) + jc[n]);
  returned->pr.assign(mxGetPr(result), mxGetPr(result) + jc[n]);
  returned->nzmax = testhostNzmax(result);
  returned->guardsIntact = testhostGuardsIntact(result);
  testhostDestroy(result);
  return "";
}
