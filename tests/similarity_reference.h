// What the attribute-similarity tests share: the similarities of listed nodes computed the plain
// way, and random node lists and thresholds.
#pragma once

#include <stdint.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/support/plugins.h"


// How one attribute counts for nodes p and q (0-based): 0 neither, 1 held by either, 2 by both.
typedef std::function<int(int32_t p, int32_t q, uint64_t attribute)> AttributeRule;

// The similarities above `threshold` of every ordered pair of listed nodes (0-based, ascending),
// each counted by adding 1.0 per attribute, as the numNodes-by-numNodes result in list order.
inline PlainSparse referenceSimilarities(uint64_t numNodes, uint64_t numAttrs, const std::vector<int32_t>& listed,
                                         double threshold, const AttributeRule& rule) {
  PlainSparse result;
  result.m = result.n = numNodes;
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

// The first `count` entries of a result in storing order, with column starts to match.
inline PlainSparse firstEntries(const PlainSparse& result, uint64_t count) {
  PlainSparse prefix = result;
  for (uint64_t& start : prefix.jc) start = start < count ? start : count;
  prefix.ir.assign(result.ir.begin(), result.ir.begin() + count);
  prefix.pr.assign(result.pr.begin(), result.pr.begin() + count);
  return prefix;
}
