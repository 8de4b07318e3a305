// attributeJaccard on random tables of every storage: the kernel on each CPU path against the
// plain similarities, and the plug-in against the tessaly5 plug-in, bit for bit with exact room.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>

#include "attributes/attribute_pairs.h"
#include "attributes/attribute_store.h"
#include "tests/similarity_reference.h"

namespace {

// How a table is stored.
enum AttributeStorage { kFullLogical, kFullDouble, kSparseLogical, kSparseDouble };

// A random numAttrs-by-numNodes table: which attributes each node holds, and the same table as
// each storage holds it, with values that count as held (any nonzero byte, NaN, Inf, negatives)
// or not (0, -0), and sparse columns that also store some entries that are not held.
struct RandomTable {
  uint64_t numAttrs = 0, numNodes = 0;
  std::vector<uint8_t> held;  // 0 or 1, numAttrs per node
  std::vector<uint8_t> bytes;
  std::vector<double> values;
  std::vector<uint8_t> storedBytes;  // the sparse storages
  std::vector<double> storedValues;
  std::vector<uint64_t> ir, jc{0};
};

RandomTable randomTable(std::mt19937& random, uint64_t numNodes, uint64_t numAttrs, double density) {
  RandomTable table;
  table.numNodes = numNodes;
  table.numAttrs = numAttrs;
  const double heldValues[] = {1.0, -2.5, 0.0 / 0.0, 1.0 / 0.0, 1e-300};
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (uint64_t node = 0; node < table.numNodes; ++node) {
    for (uint64_t a = 0; a < table.numAttrs; ++a) {
      const bool held = unit(random) < density;
      const uint8_t byte = held ? (uint8_t)(1 + random() % 255) : 0;
      const double value = held ? heldValues[random() % 5] : (random() % 2 ? 0.0 : -0.0);
      table.held.push_back(held);
      table.bytes.push_back(byte);
      table.values.push_back(value);
      if (!held && random() % 8 != 0) continue;
      table.ir.push_back(a);
      table.storedBytes.push_back(byte);
      table.storedValues.push_back(value);
    }
    table.jc.push_back(table.ir.size());
  }
  return table;
}

// A table of up to 23 nodes, sometimes of more than 31 words a node, of any density.
RandomTable randomTable(std::mt19937& random) {
  const uint64_t numNodes = random() % 24, numAttrs = random() % 8 == 0 ? 1980 + random() % 130 : random() % 140;
  return randomTable(random, numNodes, numAttrs, (random() % 6) / 5.0);
}

// The table in `storage` for the kernel.
MatrixView viewOf(const RandomTable& table, AttributeStorage storage) {
  const bool sparse = storage == kSparseLogical || storage == kSparseDouble;
  const uint8_t* bytes[] = {table.bytes.data(), nullptr, table.storedBytes.data(), nullptr};
  const double* values[] = {nullptr, table.values.data(), nullptr, table.storedValues.data()};
  return MatrixView{table.numAttrs, table.numNodes, values[storage], bytes[storage],
                    sparse ? table.ir.data() : nullptr, sparse ? table.jc.data() : nullptr};
}

// The table in `storage` as a host array for the plug-in.
mxArray* hostArrayOf(const RandomTable& table, AttributeStorage storage) {
  const uint64_t m = table.numAttrs, n = table.numNodes;
  if (storage == kFullLogical) return testhostLogical(m, n, table.bytes);
  if (storage == kFullDouble) return testhostFull(m, n, table.values);
  if (storage == kSparseLogical) return testhostSparseLogical(m, n, table.jc, table.ir, table.storedBytes);
  return testhostSparse(m, n, table.jc, table.ir, table.storedValues);
}

// Node v holds attribute a when the table says so.
AttributeRule heldRule(const RandomTable& table) {
  return [&table](int32_t p, int32_t q, uint64_t a) {
    return table.held[p * table.numAttrs + a] + table.held[q * table.numAttrs + a];
  };
}

// A kernel's result in plain arrays, created with the room it found it needs.
struct KernelResult {
  bool created = false;
  uint64_t room = 0;
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
};

// Finds the pairs on `threads` threads, a thread for every unit of work, and, unless more than
// `maxEntries` pass, stores them as the gateway does.
KernelResult runKernel(const MatrixView& table, const int32_t* nodes, uint64_t listed, double threshold,
                       uint64_t maxEntries, CpuPath path, int32_t threads = 1) {
  KernelResult result;
  AttributeRequest request = attributeJaccardRequest(threshold, table.n, maxEntries, path);
  request.pairs.threads = threads;
  request.workPerThread = 1;
  AttributePairs found = findAttributePairs(request, table, nodes, listed);
  if (found.overflowed) return result;
  result.created = true;
  result.room = found.entries;
  result.jc.assign(table.n + 1, 0);
  result.ir.assign(found.entries, 0);
  result.pr.assign(found.entries, 0.0);
  storeAttributePairs(found, outputOver(table.n, result.jc.data(), result.ir.data(), result.pr.data(), result.room));
  return result;
}

// The kernel on every path this processor has, each on 1, 2 and 3 threads, against the plain
// similarities of the table.
void expectPlainSimilarities(std::mt19937& random, const RandomTable& table, double threshold) {
  std::vector<int32_t> nodes;
  randomList(random, table.numNodes, 0.8, &nodes);
  const PlainSparse expected = referenceSimilarities(table.numNodes, table.numAttrs, nodes, threshold, heldRule(table));
  for (int each = 0; each < kCpuPathCount * 3; ++each) {
    const CpuPath path = (CpuPath)(each % kCpuPathCount);
    const int32_t threadCounts[] = {1, 2, 3};
    const int32_t threads = threadCounts[each / kCpuPathCount];
    if (!kernelRunsPath(kAttributePairsKernel, path)) continue;
    const AttributeStorage storage = (AttributeStorage)(random() % 4);
    SCOPED_TRACE(std::string(cpuPathName(path)) + " storage " + std::to_string(storage) + " on " +
                 std::to_string(threads) + " threads");
    testhostTakeOutput();
    const KernelResult result = runKernel(viewOf(table, storage), nodes.data(), nodes.size(), threshold, kMaxEntries,
                                          path, threads);
    EXPECT_TRUE(result.created);
    EXPECT_EQ("end attributeJaccard => nnz=" + std::to_string(expected.ir.size()) + "\n", testhostTakeOutput());
    EXPECT_EQ(expected.ir.size(), result.room);
    EXPECT_EQ(expected, storedPart(table.numNodes, table.numNodes, result.jc.data(), result.ir.data(),
                                   result.pr.data(), result.room));
    EXPECT_EQ(0u, testhostFreeWorkspace());
  }
}

TEST(AttributeJaccardKernel, MatchesThePlainSimilaritiesOnEveryPathAndStorage) {
  std::mt19937 random(13);
  for (int round = 0; round < roundsHere(300); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const RandomTable table = randomTable(random);
    expectPlainSimilarities(random, table, randomThreshold(random));
  }
}

TEST(AttributeJaccardKernel, CountsAgainWhatItCouldNotKeepWhenManyPairsPass) {
  // Past the first few thousand rows, more than one pair in sixteen passing is counted again.
  std::mt19937 random(19);
  for (double threshold : {-1.0, 0.0, 0.25}) expectPlainSimilarities(random, randomTable(random, 520, 60, 0.2), threshold);
}

TEST(AttributeJaccardKernel, CreatesNoResultWhenMoreEntriesPassThanItMayHold) {
  // Four nodes that hold nothing and a negative threshold: all 16 pairs pass.
  const MatrixView table = {0, 4, nullptr, nullptr, nullptr, nullptr};
  const int32_t nodes[] = {0, 1, 2, 3};
  for (uint64_t maxEntries : {0, 1, 15, 16})
    for (const int32_t threads : {1, 2, 3}) {
      const KernelResult result =
          runKernel(table, nodes, 4, -1.0, maxEntries, widestPathOf(kAttributePairsKernel), threads);
      EXPECT_EQ(maxEntries == 16, result.created);
      EXPECT_EQ(0u, testhostFreeWorkspace());
    }
  testhostTakeOutput();
}

// attributeSimilarity's result formed in full from the held table: for listed p (the column) and
// q, the measure of the counts, 1 for p itself; then the request's choices, column by column.
PlainSparse plainAttributeSimilarity(const RandomTable& table, const std::vector<int32_t>& nodes,
                                     const AttributeRequest& request) {
  const auto heldOf = [&table](int32_t node) {
    uint32_t held = 0;
    for (uint64_t a = 0; a < table.numAttrs; ++a) held += table.held[node * table.numAttrs + a];
    return held;
  };
  PlainSparse S;
  S.m = table.numNodes;
  for (int32_t c = 0; c < request.pairs.columnCount; ++c) {
    const int32_t p = request.pairs.columns ? request.pairs.columns[c] : c;
    std::vector<std::pair<double, size_t>> column;  // value, row
    const bool listed = std::find(nodes.begin(), nodes.end(), p) != nodes.end();
    for (int32_t q : nodes) {
      if (!listed || (!request.pairs.self && q == p)) continue;
      uint32_t shared = 0;
      for (uint64_t a = 0; a < table.numAttrs; ++a)
        shared += table.held[p * table.numAttrs + a] && table.held[q * table.numAttrs + a];
      const double both = shared, mine = heldOf(p), theirs = heldOf(q), n = (double)table.numAttrs;
      double value = 0.0;
      if (q == p) value = 1.0;
      else if (request.measure == kJaccardOfAttributes) value = mine + theirs - both > 0 ? both / (mine + theirs - both) : 0;
      else if (request.measure == kDiceOfAttributes) value = mine + theirs > 0 ? 2 * both / (mine + theirs) : 0;
      else if (request.measure == kCosineOfAttributes) value = mine * theirs > 0 ? both / sqrt(mine * theirs) : 0;
      else if (request.measure == kOverlapOfAttributes) value = std::min(mine, theirs) > 0 ? both / std::min(mine, theirs) : 0;
      else value = n > 0 ? (((n - mine) - theirs) + 2 * both) / n : 0;
      if (value > request.pairs.threshold) column.push_back({value, q});
    }
    appendColumn(S, column, (size_t)request.pairs.topK);
  }
  return S;
}

TEST(AttributeSimilarityKernel, MatchesEveryMeasureFormedInFullWithAnyOptionsOnEveryPath) {
  std::mt19937 random(23);
  for (int round = 0; round < roundsHere(300); ++round) {
    const RandomTable table = randomTable(random);
    std::vector<int32_t> nodes, columns = {-1};  // a list of no columns still has an address
    randomList(random, table.numNodes, 0.8, &nodes);
    columns.clear();
    for (int32_t j = 0; (uint64_t)j < table.numNodes; ++j)
      if (random() % 2) columns.push_back(j);
    AttributeRequest request = attributeJaccardRequest(randomThreshold(random), table.numNodes, kMaxEntries, kPortablePath);
    request.measure = (AttributeMeasure)(round % 5);
    request.pairs.self = random() % 4 != 0;
    request.pairs.topK = random() % 3 == 0 ? (int32_t)(1 + random() % 4) : 0;
    if (random() % 3 == 0) request.pairs.columns = columns.data(), request.pairs.columnCount = (int32_t)columns.size();
    // A thread for every unit of work, however little there is.
    request.workPerThread = 1;
    const PlainSparse expected = plainAttributeSimilarity(table, nodes, request);
    SCOPED_TRACE("round " + std::to_string(round) + " measure " + std::to_string(request.measure));
    for (int each = 0; each < kCpuPathCount; ++each) {
      request.path = (CpuPath)each;
      if (!kernelRunsPath(kAttributePairsKernel, request.path)) continue;
      for (const int32_t threads : {1, 2, 3}) {
        SCOPED_TRACE(std::string(cpuPathName(request.path)) + " on " + std::to_string(threads) + " threads");
        request.pairs.threads = threads;
        AttributePairs found = findAttributePairs(request, viewOf(table, (AttributeStorage)(random() % 4)),
                                                  nodes.data(), nodes.size());
        ASSERT_FALSE(found.overflowed);
        const uint64_t columnCount = (uint64_t)request.pairs.columnCount;
        std::vector<uint64_t> jc(columnCount + 1), ir(found.entries);
        std::vector<double> pr(found.entries);
        storeAttributePairs(found, SparseView{table.numNodes, columnCount, pr.data(), ir.data(), jc.data(), found.entries});
        EXPECT_EQ(expected, storedPart(table.numNodes, columnCount, jc.data(), ir.data(), pr.data(), ir.size()));
        EXPECT_EQ(0u, testhostFreeWorkspace());
      }
    }
  }
  testhostTakeOutput();
}

// The list of the plug-in call: left out, [], or the numbers given.
mxArray* listInput(const std::vector<double>& list, int form) {
  return form == 1 ? testhostFull(0, 0, {}) : testhostFull(list.size(), 1, list);
}

TEST(AttributeJaccardPlugin, ReturnsWhatTessaly5ReturnsWithExactRoom) {
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    const RandomTable table = randomTable(random);
    std::vector<int32_t> nodes;
    std::vector<double> list = randomList(random, table.numNodes, 0.8, &nodes);
    const int listForm = random() % 4;  // 0 left out, 1 [], else the list
    const bool thresholdGiven = listForm > 0 && random() % 4 != 0;
    const double threshold = thresholdGiven ? randomThreshold(random) : 0.0;
    if (listForm < 2) {
      list.clear();
      for (uint64_t v = 1; v <= table.numNodes; ++v) list.push_back((double)v);
    }
    std::vector<mxArray*> inputs = {hostArrayOf(table, (AttributeStorage)(random() % 4))};
    if (listForm > 0) inputs.push_back(listInput(list, listForm));
    if (thresholdGiven) inputs.push_back(testhostFull(1, 1, {threshold}));
    SCOPED_TRACE("round " + std::to_string(round));
    const PluginCall call = callPlugin("attributeJaccard", inputs);
    std::vector<uint8_t> logical(table.held.begin(), table.held.end());
    const PluginCall tessaly5 =
        callPlugin("tessaly5", {testhostLogical(table.numAttrs, table.numNodes, logical),
                                testhostFull(list.size(), 1, list), testhostFull(1, 1, {threshold}),
                                testhostFull(1, 1, {1.0})});
    ASSERT_TRUE(call.returned) << call.error.identifier << " " << call.error.message;
    ASSERT_TRUE(tessaly5.returned);
    EXPECT_EQ(tessaly5.result, call.result);
    EXPECT_EQ(std::max<size_t>(call.result.ir.size(), 1), call.nzmax);
    EXPECT_TRUE(call.guardsIntact);
  }
}

// A table of values for "Weighted": each entry 0 half the time, else one of a few values.
struct ValueTable {
  size_t numAttrs, numNodes;
  std::vector<double> values;  // column-major, numAttrs-by-numNodes
  double at(size_t a, size_t node) const { return values[node * numAttrs + a]; }
};

// A whole-number list of the nodes 1 to n, each kept with probability `share`.
std::vector<double> someNodes(std::mt19937& random, size_t n, int share) {
  std::vector<double> list;
  for (size_t v = 1; v <= n; ++v)
    if ((int)(random() % 100) < share) list.push_back((double)v);
  return list;
}

// Whether a list (empty and not given: every node) holds node v (0-based).
bool holds(const std::vector<double>& list, bool given, size_t v) {
  return !given || std::find(list.begin(), list.end(), (double)(v + 1)) != list.end();
}

// attributeSimilarity's weighted result formed in full, as its help defines it: for listed nodes
// p and q sharing an attribute, M (or the dot product) over the attributes in ascending order,
// their sums (or sums of squares) likewise; then the options' choices column by column.
PlainSparse plainWeighted(const ValueTable& X, const std::string& measure, const std::vector<double> (&lists)[3],
                          const bool (&given)[3], bool self, double threshold, size_t topK) {
  const std::vector<double>&nodes = lists[0], &rows = lists[1], &columns = lists[2];
  std::vector<double> total(X.numNodes, 0.0), squares(X.numNodes, 0.0);
  for (size_t v = 0; v < X.numNodes; ++v)
    for (size_t a = 0; a < X.numAttrs; ++a) total[v] += X.at(a, v), squares[v] += X.at(a, v) * X.at(a, v);
  std::vector<size_t> rowNodes;
  for (size_t r = 0; r < X.numNodes; ++r)
    if (holds(rows, given[1], r)) rowNodes.push_back(r);
  PlainSparse S;
  S.m = rowNodes.size();
  for (size_t j = 0; j < X.numNodes; ++j) {
    if (!holds(columns, given[2], j)) continue;
    std::vector<std::pair<double, size_t>> column;
    for (size_t i = 0; i < rowNodes.size(); ++i) {
      const size_t r = rowNodes[i];
      if (!holds(nodes, given[0], r) || !holds(nodes, given[0], j) || (!self && r == j)) continue;
      double sum = 0.0;
      bool shared = false;
      for (size_t a = 0; a < X.numAttrs; ++a) {
        const double x = X.at(a, r), y = X.at(a, j);
        if (x == 0.0 || y == 0.0) continue;
        shared = true;
        sum += measure == "cosine" ? x * y : std::min(x, y);
      }
      if (!shared) continue;
      double value = sum / std::min(total[r], total[j]);
      if (measure == "jaccard") value = (total[r] + total[j]) - sum > 0 ? sum / ((total[r] + total[j]) - sum) : NAN;
      if (measure == "dice") value = 2.0 * sum / (total[r] + total[j]);
      if (measure == "cosine") value = sum / sqrt(squares[r] * squares[j]);
      if (value > threshold) column.push_back({value, i});
    }
    appendColumn(S, column, topK);
  }
  return S;
}

// The weighted measures through the plug-in, full and sparse tables of more nodes or more
// attributes, with every option, on 1 to 3 threads: the sums formed in full, bit for bit. One
// round in five is a 0/1 table, every node holding an attribute, called unweighted: its counts are
// those sums.
TEST(AttributeSimilarityPlugin, WeightsAsTheSumsOfMinimaAndProductsFormedInFull) {
  const char* measures[] = {"jaccard", "dice", "cosine", "overlap"};
  const double values[] = {0.25, 0.5, 1.0, 1.5, 2.0, 3.0};
  std::mt19937 random(2512);
  for (int round = 0; round < 400; ++round) {
    const bool binary = round % 5 == 4;
    ValueTable X = {random() % 13 + binary, random() % 16, {}};
    for (size_t k = 0; k < X.numAttrs * X.numNodes; ++k)
      X.values.push_back(binary ? (k % X.numAttrs == 0 || random() % 2) : random() % 2 ? values[random() % 6] : 0.0);
    const std::string measure = measures[round % 4];
    std::vector<double> lists[3];
    bool given[3];
    for (int l = 0; l < 3; ++l) {
      given[l] = random() % 3 == 0;
      if (given[l]) lists[l] = someNodes(random, X.numNodes, 70);
    }
    const bool self = random() % 4 != 0, thresholdGiven = random() % 2;
    const double thresholds[] = {-1.0, 0.0, 0.25, 0.5, 0.75};
    const double threshold = thresholdGiven ? thresholds[random() % 4 + binary] : 0.0;
    const size_t topK = random() % 3 == 0 ? 1 + random() % 4 : 0;
    std::vector<mxArray*> inputs;
    if (random() % 2) {
      inputs.push_back(testhostFull(X.numAttrs, X.numNodes, X.values));
    } else {
      std::vector<uint64_t> jc = {0}, ir;
      std::vector<double> pr;
      for (size_t v = 0; v < X.numNodes; ++v) {
        for (size_t a = 0; a < X.numAttrs; ++a)
          if (X.at(a, v) != 0.0) ir.push_back(a), pr.push_back(X.at(a, v));
        jc.push_back(ir.size());
      }
      inputs.push_back(testhostSparse(X.numAttrs, X.numNodes, jc, ir, pr));
    }
    inputs.push_back(testhostText(measure));
    const auto option = [&inputs](const std::string& name, mxArray* value) {
      inputs.push_back(testhostText(name));
      inputs.push_back(value);
    };
    option("Weighted", testhostFull(1, 1, {binary ? 0.0 : 1.0}));
    const char* names[] = {"Nodes", "Rows", "Columns"};
    for (int l = 0; l < 3; ++l)
      if (given[l]) option(names[l], testhostFull(1, lists[l].size(), lists[l]));
    if (thresholdGiven) option("Threshold", testhostFull(1, 1, {threshold}));
    if (topK > 0) option("TopK", testhostFull(1, 1, {(double)topK}));
    if (!self) option("Self", testhostFull(1, 1, {0}));
    option("Threads", testhostFull(1, 1, {(double)(1 + round % 3)}));
    SCOPED_TRACE("round " + std::to_string(round) + " " + measure);
    const PluginCall call = callPlugin("attributeSimilarity", inputs);
    ASSERT_TRUE(call.returned) << call.error.identifier << " " << call.error.message;
    const PlainSparse expected = plainWeighted(X, measure, lists, given, self, threshold, topK);
    EXPECT_EQ(expected, call.result);
    EXPECT_EQ(std::max<size_t>(expected.ir.size(), 1), call.nzmax);
    EXPECT_TRUE(call.guardsIntact);
  }
}

}  // namespace
