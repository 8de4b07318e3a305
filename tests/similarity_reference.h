// What the attribute-similarity tests share: the similarities of listed nodes computed the plain
// way, random node lists, and calls of the built plug-ins on the test host.
#pragma once

#include <stdint.h>

#include <functional>
#include <ostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/runner/plugin.h"

// A sparse result as plain vectors.
struct PlainResult {
  std::vector<uint64_t> jc{0}, ir;
  std::vector<double> pr;
};

// How one attribute counts for nodes p and q (0-based): 0 neither, 1 held by either, 2 by both.
typedef std::function<int(int32_t p, int32_t q, uint64_t attribute)> AttributeRule;

// The similarities above `threshold` of every ordered pair of listed nodes (0-based, ascending),
// each counted by adding 1.0 per attribute, as the numNodes-by-numNodes result in list order.
inline PlainResult referenceSimilarities(uint64_t numNodes, uint64_t numAttrs, const std::vector<int32_t>& listed,
                                         double threshold, const AttributeRule& rule) {
  PlainResult result;
  result.jc.assign(numNodes + 1, 0);
  std::map<int32_t, std::vector<std::pair<int32_t, double>>> columns;
  for (int32_t p : listed) {
    for (int32_t q : listed) {
      double either = 0.0, both = 0.0;
      for (uint64_t a = 0; p != q && a < numAttrs; ++a) {
        const int counted = rule(p, q, a);
        if (counted >= 1) either += 1.0;
        if (counted == 2) both += 1.0;
      }
      const double similarity = p == q ? 1.0 : either > 0.0 ? both / either : 0.0;
      if (similarity > threshold) columns[p].push_back({q, similarity});
    }
  }
  for (uint64_t j = 0; j < numNodes; ++j) {
    for (const auto& entry : columns[(int32_t)j]) {
      result.ir.push_back((uint64_t)entry.first);
      result.pr.push_back(entry.second);
    }
    result.jc[j + 1] = result.ir.size();
  }
  return result;
}

// A random ascending list of node numbers from 1 to numNodes, each with a random fraction added
// (the plug-ins truncate it away); also returns the 0-based nodes.
inline std::vector<double> randomList(std::mt19937& random, uint64_t numNodes, double share,
                                      std::vector<int32_t>* listed) {
  std::vector<double> list;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  listed->clear();
  for (uint64_t v = 1; v <= numNodes; ++v) {
    if (unit(random) >= share) continue;
    list.push_back((double)v + (unit(random) < 0.5 ? 0.0 : unit(random) * 0.999));
    listed->push_back((int32_t)v - 1);
  }
  return list;
}

// A threshold from the values that matter: boundaries, common fractions, NaN and random ones.
inline double randomThreshold(std::mt19937& random) {
  const double special[] = {-1.0, 0.0, 1.0 / 3.0, 0.5, 2.0 / 3.0, 1.0, 0.0 / 0.0};
  const size_t pick = random() % 10;
  if (pick < 7) return special[pick];
  return std::uniform_real_distribution<double>(-0.2, 1.0)(random);
}

// One call of a built plug-in: whether it returned, what it raised and printed, its output.
struct PluginCall {
  bool returned = false;
  HostError error;
  std::string printed;
  mxArray* output = nullptr;
};

// Calls the test-host plug-in `word` with one output; the inputs are destroyed, the output is
// the caller's to destroy.
inline PluginCall callPlugin(const std::string& word, const std::vector<mxArray*>& inputs) {
  static std::map<std::string, MexFunction> entries;
  if (!entries.count(word)) entries[word] = loadPlugin(PLUGIN_DIR "/" + word + ".so");
  PluginCall call;
  testhostTakeOutput();
  call.returned = testhostCall(entries[word], 1, &call.output, (int)inputs.size(),
                               const_cast<const mxArray**>(inputs.data()), &call.error);
  call.printed = testhostTakeOutput();
  for (mxArray* input : inputs) testhostDestroy(input);
  return call;
}

// The stored part of a plug-in's output.
inline PlainResult resultOf(const mxArray* output) {
  PlainResult result;
  const size_t n = mxGetN(output);
  const uint64_t* jc = mxGetJc_730(output);
  result.jc.assign(jc, jc + n + 1);
  result.ir.assign(mxGetIr_730(output), mxGetIr_730(output) + jc[n]);
  result.pr.assign(mxGetPr(output), mxGetPr(output) + jc[n]);
  return result;
}

// The first `count` entries of a result in storing order, with column starts to match.
inline PlainResult firstEntries(const PlainResult& result, uint64_t count) {
  PlainResult prefix;
  prefix.jc = result.jc;
  for (uint64_t& start : prefix.jc) start = start < count ? start : count;
  prefix.ir.assign(result.ir.begin(), result.ir.begin() + count);
  prefix.pr.assign(result.pr.begin(), result.pr.begin() + count);
  return prefix;
}

inline bool operator==(const PlainResult& a, const PlainResult& b) {
  return a.jc == b.jc && a.ir == b.ir && a.pr == b.pr;
}

// Shows a result as its three lists when a test fails.
inline void PrintTo(const PlainResult& result, std::ostream* out) {
  *out << "jc [";
  for (uint64_t v : result.jc) *out << " " << v;
  *out << " ] ir [";
  for (uint64_t v : result.ir) *out << " " << v;
  *out << " ] pr [";
  for (double v : result.pr) *out << " " << v;
  *out << " ]";
}
