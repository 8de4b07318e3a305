// The numeric-table kernel tessaly5a against a plain reference on random tables of awkward
// values, and the plug-in against tessaly5b on the logical transpose of random 0/1 tables.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <functional>

#include "similarity/tessaly5a.h"
#include "tests/reference/former_kernels.h"
#include "tests/similarity_reference.h"

namespace {

// A value truncated toward zero the plain way: NaN as 0, beyond the 32-bit integers their nearest end.
int64_t plainTruncation(double value) {
  if (isnan(value)) return 0;
  const double truncated = trunc(value);
  if (truncated > 2147483647.0) return 2147483647;
  if (truncated < -2147483648.0) return -2147483648LL;
  return (int64_t)truncated;
}

// Attribute a of nodes p and q by the sum of their truncated values: 1 either, 2 both.
AttributeRule sumRule(const std::vector<double>& table, uint64_t numNodes) {
  return [&table, numNodes](int32_t p, int32_t q, uint64_t a) {
    const int64_t sum = plainTruncation(table[a * numNodes + p]) + plainTruncation(table[a * numNodes + q]);
    return sum == 1 ? 1 : sum == 2 ? 2 : 0;
  };
}

// A random numNodes-by-numAttrs table, column-major: mostly 0 and 1, sometimes an awkward value.
std::vector<double> randomTable(std::mt19937& random, uint64_t numNodes, uint64_t numAttrs) {
  const double awkward[] = {2, -1, 0.7, 1.9, -0.5, 0.0 / 0.0, 1.0 / 0.0, -1.0 / 0.0, 3e9, -3e9,
                            2147483647, -2147483648.0, -2147483647.5, 2147483648.0, -2147483646, 1e300};
  std::vector<double> table(numNodes * numAttrs);
  for (double& value : table) {
    const uint32_t pick = random() % 20;
    value = pick < 16 ? (double)(pick % 2) : awkward[random() % 16];
  }
  return table;
}

TEST(Tessaly5aKernel, MatchesThePlainSumRuleOnRandomTables) {
  std::mt19937 random(12);
  for (int round = 0; round < 400; ++round) {
    const uint64_t numNodes = random() % 20, numAttrs = random() % 10;
    const std::vector<double> table = randomTable(random, numNodes, numAttrs);
    std::vector<int32_t> listed;
    const std::vector<double> list = randomList(random, numNodes, 0.7, &listed);
    const double threshold = randomThreshold(random);
    const PlainSparse expected = referenceSimilarities(numNodes, numAttrs, listed, threshold, sumRule(table, numNodes));
    const uint64_t room = list.size() * list.size();
    std::vector<uint64_t> jc(numNodes + 1), ir(room);
    std::vector<double> pr(room);
    const uint64_t needed = tessaly5a(MatrixView{numNodes, numAttrs, table.data(), nullptr, nullptr, nullptr},
                                      NodeList{list.data(), list.size()}, threshold,
                                      outputOver(numNodes, jc.data(), ir.data(), pr.data(), room));
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(expected, storedPart(numNodes, numNodes, jc.data(), ir.data(), pr.data(), room));
    EXPECT_EQ(expected.ir.size(), needed);
  }
  testhostTakeOutput();
}

// What a kernel printed, returned and stored, with room for `room` entries, and whether it left
// the room past the result zero, as the host created it.
struct NumericRun {
  uint64_t needed;
  std::string printed;
  PlainSparse result;
  bool roomLeftZero;
};

NumericRun runNumeric(const std::function<uint64_t(uint64_t*, uint64_t*, double*)>& kernel, uint64_t numNodes,
                      uint64_t room) {
  std::vector<uint64_t> jc(numNodes + 1), ir(room);
  std::vector<double> pr(room);
  testhostTakeOutput();
  const uint64_t needed = kernel(ir.data(), jc.data(), pr.data());
  bool roomLeftZero = true;
  for (uint64_t k = std::min<uint64_t>(jc[numNodes], room); k < room; ++k) roomLeftZero &= ir[k] == 0 && pr[k] == 0;
  return NumericRun{needed, testhostTakeOutput(), storedPart(numNodes, numNodes, jc.data(), ir.data(), pr.data(), room),
                    roomLeftZero};
}

// Every code path this processor runs, against the kernel as it was, bit for bit: awkward values
// (NaN, infinities, values beyond 2^30 and 2^31), tables whose values all truncate to 0 or 1
// (every other round), lists of neighbouring and scattered nodes, rooms that overflow or hold the
// packed nodes for some columns only, and progress lines past 1000 stored entries.
TEST(Tessaly5aKernel, EveryPathMatchesTheFormerKernelBitForBit) {
  std::mt19937 random(2027);
  for (int round = 0; round < 200; ++round) {
    const uint64_t numNodes = 1 + random() % 48, numAttrs = random() % (round % 3 ? 40 : 200);
    std::vector<double> table = randomTable(random, numNodes, numAttrs);
    if (round % 2) std::transform(table.begin(), table.end(), table.begin(), [](double v) { return fabs(v) < 2 ? v : 0; });
    std::vector<int32_t> listed;
    const std::vector<double> list = randomList(random, numNodes, round % 3 ? 1.0 : 0.6, &listed);
    const double threshold = round % 4 ? randomThreshold(random) : -1.0;
    const uint64_t room = random() % (list.size() * list.size() + 2);
    const NumericRun expected = runNumeric(
        [&](uint64_t* ir, uint64_t* jc, double* pr) {
          return former::tessaly5a(table.data(), numNodes, numAttrs, threshold, list.data(), list.size(), room, ir,
                                  jc, pr);
        },
        numNodes, room);
    for (int each = 0; each < kCpuPathCount; ++each) {
      const CpuPath path = (CpuPath)each;
      if (!kernelRunsPath(kTessaly5aKernel, path)) continue;
      SCOPED_TRACE("round " + std::to_string(round) + " on " + cpuPathName(path));
      const NumericRun run = runNumeric(
          [&](uint64_t* ir, uint64_t* jc, double* pr) {
            return tessaly5aOnPath(path, MatrixView{numNodes, numAttrs, table.data(), nullptr, nullptr, nullptr},
                                   NodeList{list.data(), list.size()}, threshold,
                                   outputOver(numNodes, jc, ir, pr, room));
          },
          numNodes, room);
      EXPECT_EQ(expected.needed, run.needed);
      EXPECT_EQ(expected.printed, run.printed);
      EXPECT_EQ(expected.result, run.result);
      EXPECT_TRUE(run.roomLeftZero);
    }
  }
}

TEST(Tessaly5aPlugin, EqualsTessaly5bOnTheLogicalTransposeOfA01Table) {
  std::mt19937 random(40);
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    const uint64_t numNodes = 1 + random() % 24, numAttrs = random() % 8;
    std::vector<double> table(numNodes * numAttrs);
    std::vector<uint8_t> transposed(numNodes * numAttrs);
    for (uint64_t v = 0; v < numNodes; ++v)
      for (uint64_t a = 0; a < numAttrs; ++a)
        transposed[v * numAttrs + a] = (uint8_t)(table[a * numNodes + v] = random() % 3 == 0);
    std::vector<int32_t> listed;
    const std::vector<double> list = randomList(random, numNodes, 0.8, &listed);
    const double threshold = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    const PluginCall numeric = callPlugin("tessaly5a", {testhostFull(numNodes, numAttrs, table),
                                                        testhostFull(list.size(), 1, list),
                                                        testhostFull(1, 1, {threshold})});
    const PluginCall logical = callPlugin("tessaly5b", {testhostLogical(numAttrs, numNodes, transposed),
                                                        testhostFull(list.size(), 1, list),
                                                        testhostFull(1, 1, {threshold})});
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_TRUE(numeric.guardsIntact);
    if (numeric.returned && logical.returned) {
      EXPECT_EQ(logical.result, numeric.result);
      ++compared;
    } else if (numeric.returned) {
      EXPECT_EQ("MATLAB:tessaly5b:noroom", logical.error.identifier);
    } else {
      // 0.33 of all pairs is more room than 0.25 of them, so tessaly5b cannot have returned.
      EXPECT_EQ("MATLAB:tessaly5a:noroom", numeric.error.identifier);
      EXPECT_FALSE(logical.returned);
    }
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
