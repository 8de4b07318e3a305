// The logical-table kernels tessaly5 and tessaly5b on plain arrays (room, progress, never past
// the room) and the plug-ins against a plain reference on random tables with any nonzero byte.
#include <gtest/gtest.h>

#include <functional>

#include "similarity/tessaly5.h"
#include "tests/reference/former_kernels.h"
#include "tests/similarity_reference.h"

namespace {

typedef std::function<uint64_t(const uint8_t*, uint64_t, uint64_t, double, const double*, uint64_t, uint64_t,
                                uint64_t*, uint64_t*, double*)>
    LogicalKernel;

// A kernel's output with room for `nzmax` entries and guard entries past it.
struct KernelRun {
  uint64_t needed = 0;
  std::string printed;
  PlainSparse result;
  bool guardsIntact = true;
  bool roomLeftZero = true;  // the room past the result as the host created it
};

// tessaly5 or tessaly5b on `path`, called with the former kernels' arrays: nodeAtts numAttrs bytes
// a node, the list and its length, the room and the output's arrays.
LogicalKernel onPath(decltype(tessaly5OnPath)* kernel, CpuPath path) {
  return [kernel, path](const uint8_t* atts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                        const double* list, uint64_t listed, uint64_t nzmax, uint64_t* ir, uint64_t* jc, double* pr) {
    return kernel(path, MatrixView{numAttrs, numNodes, nullptr, atts, nullptr, nullptr}, NodeList{list, listed},
                  threshold, outputOver(numNodes, jc, ir, pr, nzmax));
  };
}
const LogicalKernel tessaly5Now = onPath(tessaly5OnPath, widestPathOf(kTessaly5Kernel));
const LogicalKernel tessaly5bNow = onPath(tessaly5bOnPath, widestPathOf(kTessaly5Kernel));

const size_t kGuard = 8;
const uint64_t kGuardIndex = 0xdeadbeefu;

KernelRun runKernel(const LogicalKernel& kernel, const std::vector<uint8_t>& atts, uint64_t numNodes, uint64_t numAttrs,
                    double threshold, const std::vector<double>& list, uint64_t nzmax) {
  std::vector<uint64_t> jc(numNodes + 1, kGuardIndex), ir(nzmax + kGuard, 0);
  std::vector<double> pr(nzmax + kGuard, 0.0);
  std::fill(ir.begin() + nzmax, ir.end(), kGuardIndex);
  std::fill(pr.begin() + nzmax, pr.end(), -1.0);
  KernelRun run;
  testhostTakeOutput();
  run.needed = kernel(atts.data(), numNodes, numAttrs, threshold, list.data(), list.size(), nzmax, ir.data(),
                      jc.data(), pr.data());
  run.printed = testhostTakeOutput();
  for (size_t k = nzmax; k < nzmax + kGuard; ++k) run.guardsIntact &= ir[k] == kGuardIndex && pr[k] == -1.0;
  for (size_t k = std::min<uint64_t>(jc[numNodes], nzmax); k < nzmax; ++k) run.roomLeftZero &= ir[k] == 0 && pr[k] == 0;
  run.result = storedPart(numNodes, numNodes, jc.data(), ir.data(), pr.data(), ir.size());
  return run;
}

// Holds attribute a of node v when its byte is nonzero.
AttributeRule logicalRule(const std::vector<uint8_t>& atts, uint64_t numAttrs) {
  return [&atts, numAttrs](int32_t p, int32_t q, uint64_t a) {
    return (atts[p * numAttrs + a] != 0) + (atts[q * numAttrs + a] != 0);
  };
}

// The worked example's table: nodes {1, 2}, {2, 3}, none, {1, 2, 3}.
const std::vector<uint8_t> kExample = {1, 1, 0, 0, 1, 1, 0, 0, 0, 1, 1, 1};

TEST(Tessaly5Kernel, RunsTheWorkedExampleOnPlainArrays) {
  const KernelRun run = runKernel(tessaly5Now, kExample, 4, 3, 0.4, {1, 2, 4}, 9);
  EXPECT_EQ("start tessaly5 ... \nend tessaly5 => nnz=7\n", run.printed);
  EXPECT_EQ(7u, run.needed);
  PlainSparse expected;
  expected.m = expected.n = 4;
  expected.jc = {0, 2, 4, 4, 7};
  expected.ir = {0, 3, 1, 3, 0, 1, 3};
  expected.pr = {1, 2.0 / 3, 1, 2.0 / 3, 2.0 / 3, 2.0 / 3, 1};
  EXPECT_EQ(expected, run.result);
}

TEST(Tessaly5Kernel, StopsStoringAtEveryRoomAndCountsTheRest) {
  const PlainSparse all = runKernel(tessaly5Now, kExample, 4, 3, -1, {1, 2, 3, 4}, 16).result;
  ASSERT_EQ(16u, all.ir.size());
  for (uint64_t room = 0; room <= 17; ++room) {
    SCOPED_TRACE("room " + std::to_string(room));
    const KernelRun run = runKernel(tessaly5bNow, kExample, 4, 3, -1, {1, 2, 3, 4}, room);
    EXPECT_EQ(16u, run.needed);
    EXPECT_TRUE(run.guardsIntact);
    EXPECT_EQ(firstEntries(all, std::min<uint64_t>(room, 16)), run.result);
    EXPECT_EQ("start tessaly5b ... \nend tessaly5b => nnz=" + std::to_string(std::min<uint64_t>(room, 16)) + "\n",
              run.printed);
  }
}

// 3163 listed nodes without attributes and a negative threshold: 10,004,569 entries pass.
KernelRun runManyPairs(LogicalKernel kernel, uint64_t nzmax) {
  std::vector<double> list(3163);
  for (size_t k = 0; k < list.size(); ++k) list[k] = (double)(k + 1);
  return runKernel(kernel, {}, 3163, 0, -1, list, nzmax);
}

TEST(Tessaly5Kernel, PrintsTheFirstProgressLineAtExactly10000000StoredEntries) {
  const KernelRun reached = runManyPairs(tessaly5bNow, 10004569);
  EXPECT_EQ("start tessaly5b ... \ntessaly5b nnz=10 M\nend tessaly5b => nnz=10004569\n", reached.printed);
  EXPECT_EQ(10004569u, reached.needed);
  // Progress counts stored entries: a room one short of the step prints none.
  const KernelRun shortOfIt = runManyPairs(tessaly5Now, 9999999);
  EXPECT_EQ("start tessaly5 ... \nend tessaly5 => nnz=9999999\n", shortOfIt.printed);
  EXPECT_EQ(10004569u, shortOfIt.needed);
  EXPECT_TRUE(shortOfIt.guardsIntact);
  EXPECT_EQ(9999999u, shortOfIt.result.jc[3163]);
}

// A random table of numAttrs bytes per node: mostly 0, otherwise any byte from 1 to 255.
std::vector<uint8_t> randomTable(std::mt19937& random, uint64_t numNodes, uint64_t numAttrs) {
  std::vector<uint8_t> atts(numNodes * numAttrs);
  const double density = (random() % 5) / 5.0;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (uint8_t& byte : atts) byte = unit(random) < density ? (uint8_t)(1 + random() % 255) : 0;
  return atts;
}

TEST(Tessaly5Kernel, MatchesThePlainSimilaritiesOnRandomTables) {
  std::mt19937 random(31);
  for (int round = 0; round < 400; ++round) {
    const uint64_t numNodes = random() % 20, numAttrs = random() % 12;
    const std::vector<uint8_t> atts = randomTable(random, numNodes, numAttrs);
    std::vector<int32_t> listed;
    const std::vector<double> list = randomList(random, numNodes, 0.7, &listed);
    const double threshold = randomThreshold(random);
    const PlainSparse expected =
        referenceSimilarities(numNodes, numAttrs, listed, threshold, logicalRule(atts, numAttrs));
    const KernelRun run = runKernel(tessaly5Now, atts, numNodes, numAttrs, threshold, list, list.size() * list.size());
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(expected, run.result);
    EXPECT_EQ(expected.ir.size(), run.needed);
  }
}

// Every code path this processor runs, against the kernels as they were, bit for bit: node
// lengths around each vector width and past the counters' folds (full counters in round 1),
// bytes other than 1 and tables of 0 and 1 only (every third), rooms that overflow or hold the
// packed nodes for some columns only, and the lines.
TEST(Tessaly5Kernel, EveryPathMatchesTheFormerKernelBitForBit) {
  std::mt19937 random(2026);
  for (int round = 0; round < 240; ++round) {
    const uint64_t numNodes = round < 2 ? 3 : 1 + random() % 30;
    const uint64_t numAttrs = round < 2 ? 8072 : random() % 3 == 0 ? random() % 40 : random() % 300;
    std::vector<uint8_t> atts = randomTable(random, numNodes, numAttrs);
    if (round % 3 == 1)
      for (uint8_t& byte : atts) byte = round == 1 || byte != 0;  // round 1: every attribute held
    std::vector<int32_t> listed;
    const std::vector<double> list = randomList(random, numNodes, 0.8, &listed);
    const double threshold = randomThreshold(random);
    const uint64_t room = random() % (list.size() * list.size() + 2);
    const bool withB = round % 2;
    const KernelRun expected = runKernel(withB ? former::tessaly5b : former::tessaly5, atts, numNodes, numAttrs,
                                         threshold, list, room);
    for (int each = 0; each < kCpuPathCount; ++each) {
      const CpuPath path = (CpuPath)each;
      if (!kernelRunsPath(kTessaly5Kernel, path)) continue;
      SCOPED_TRACE("round " + std::to_string(round) + " on " + cpuPathName(path));
      const KernelRun run = runKernel(onPath(withB ? tessaly5bOnPath : tessaly5OnPath, path), atts, numNodes,
                                      numAttrs, threshold, list, room);
      EXPECT_EQ(expected.needed, run.needed);
      EXPECT_EQ(expected.printed, run.printed);
      EXPECT_EQ(expected.result, run.result);
      EXPECT_TRUE(run.guardsIntact);
      EXPECT_TRUE(run.roomLeftZero);
    }
  }
}

// The plug-in's result, or its error identifier, against the reference with the plug-in's room.
void expectPluginMatches(const std::string& word, const PluginCall& call, const PlainSparse& expected, uint64_t room) {
  const uint64_t needed = expected.ir.size();
  if (needed <= room) {
    ASSERT_TRUE(call.returned) << call.error.identifier;
    EXPECT_EQ(expected, call.result);
  } else {
    ASSERT_FALSE(call.returned);
    EXPECT_EQ("MATLAB:" + word + ":noroom", call.error.identifier);
    EXPECT_NE(std::string::npos, call.printed.find("the result needs " + std::to_string(needed) + " entries"));
    ASSERT_TRUE(call.outputCreated);
    EXPECT_EQ(firstEntries(expected, room), call.result);
  }
  EXPECT_EQ(std::max<uint64_t>(room, 1), call.nzmax);
  EXPECT_TRUE(call.guardsIntact);
}

TEST(Tessaly5Plugins, MatchThePlainSimilaritiesOnRandomTables) {
  std::mt19937 random(8);
  for (int round = 0; round < 300; ++round) {
    const uint64_t numNodes = random() % 16, numAttrs = random() % 10;
    const std::vector<uint8_t> atts = randomTable(random, numNodes, numAttrs);
    std::vector<int32_t> listed;
    const std::vector<double> list = randomList(random, numNodes, 0.8, &listed);
    const double threshold = randomThreshold(random);
    const double percentSparse = (random() % 6) / 4.0;
    const PlainSparse expected =
        referenceSimilarities(numNodes, numAttrs, listed, threshold, logicalRule(atts, numAttrs));
    const uint64_t pairs = list.size() * list.size();
    SCOPED_TRACE("round " + std::to_string(round));
    expectPluginMatches("tessaly5",
                        callPlugin("tessaly5", {testhostLogical(numAttrs, numNodes, atts),
                                                testhostFull(list.size(), 1, list), testhostFull(1, 1, {threshold}),
                                                testhostFull(1, 1, {percentSparse})}),
                        expected, std::min(pairs, (uint64_t)((double)pairs * percentSparse)));
    expectPluginMatches("tessaly5b",
                        callPlugin("tessaly5b", {testhostLogical(numAttrs, numNodes, atts),
                                                 testhostFull(list.size(), 1, list), testhostFull(1, 1, {threshold})}),
                        expected, std::max<uint64_t>(pairs / 4, list.size()));
  }
}

}  // namespace
