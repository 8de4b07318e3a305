// neighborJaccard and neighborOverlap: the kernels against common-neighbour counts formed in full
// and the plain formulas, the plug-ins against tessaly and Vostrel given those counts, on random
// graphs; the pass's limit and progress lines; the size limits of the gateways.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <functional>

#include "neighbors/neighbor_similarity.h"
#include "tests/neighbourhoods.h"

namespace {

// A random graph as the host holds it, and its edges as a dense n-by-n pattern.
struct RandomGraph {
  size_t n = 0;
  bool logical = false;
  std::vector<uint64_t> jc{0}, ir;
  std::vector<double> values;          // double graphs
  std::vector<unsigned char> bytes;    // logical graphs
  std::vector<char> edge;              // edge[r * n + k]: r -> k
  mxArray* hostArray() const {
    return logical ? testhostSparseLogical(n, n, jc, ir, bytes) : testhostSparse(n, n, jc, ir, values);
  }
};

// A graph on up to 40 nodes, directed or symmetric, with or without self-loops, some nodes
// isolated; stored entries that are edges hold 1, a weight or NaN, and some stored zeros are no edges.
RandomGraph randomGraph(std::mt19937& random) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  RandomGraph G;
  G.n = 1 + random() % 40;
  G.logical = random() % 4 == 0;
  const size_t n = G.n;
  const double density = 0.3 * unit(random);
  const bool symmetric = random() % 2, loops = random() % 2;
  std::vector<char> isolated(n);
  for (char& node : isolated) node = unit(random) < 0.15;
  G.edge.assign(n * n, 0);
  for (size_t r = 0; r < n; ++r)
    for (size_t k = symmetric ? r : 0; k < n; ++k)
      if (unit(random) < density && (loops || r != k) && !isolated[r] && !isolated[k])
        G.edge[r * n + k] = G.edge[symmetric ? k * n + r : r * n + k] = 1;
  for (size_t j = 0; j < n; ++j) {
    for (size_t r = 0; r < n; ++r) {
      const bool isEdge = G.edge[r * n + j], storedZero = unit(random) < 0.03;
      if (!isEdge && !storedZero) continue;
      G.ir.push_back(r);
      const double weights[] = {1.0, 2.5, -1.0, NAN};
      G.values.push_back(isEdge ? weights[random() % 4] : 0.0);
      G.bytes.push_back(isEdge ? (unsigned char)(1 + random() % 255) : 0);
    }
    G.jc.push_back(G.ir.size());
  }
  return G;
}

// C = P * P formed in full, rows ascending and no zeros stored, with the degrees d = sum(P, 2).
Neighbourhoods countsOf(const RandomGraph& G) {
  const size_t n = G.n;
  Neighbourhoods C;
  C.m = C.n = n;
  C.degrees.assign(n, 0.0);
  for (size_t r = 0; r < n; ++r)
    for (size_t k = 0; k < n; ++k) C.degrees[r] += G.edge[r * n + k];
  for (size_t j = 0; j < n; ++j) {
    for (size_t r = 0; r < n; ++r) {
      int shared = 0;
      for (size_t k = 0; k < n; ++k) shared += G.edge[r * n + k] && G.edge[k * n + j];
      if (shared == 0) continue;
      C.ir.push_back(r);
      C.pr.push_back(shared);
    }
    C.jc.push_back(C.ir.size());
  }
  return C;
}

typedef std::function<double(double shared, double rowDegree, double columnDegree)> Formula;

// The plain formulas: Jaccard, NaN where the union is not above 0; overlap over the smaller degree.
double plainJaccard(double v, double dr, double dj) { return (dr + dj) - v > 0 ? v / ((dr + dj) - v) : NAN; }
double plainOverlap(double v, double dr, double dj) { return v / std::min(dr, dj); }

// The entries of C whose formula value is strictly above the threshold, with that value.
PlainSparse keptAbove(const Neighbourhoods& C, const Formula& formula, double threshold) {
  PlainSparse kept;
  kept.m = kept.n = C.n;
  for (size_t j = 0; j < C.n; ++j) {
    for (uint64_t k = C.jc[j]; k < C.jc[j + 1]; ++k) {
      const double value = formula(C.pr[k], C.degrees[C.ir[k]], C.degrees[j]);
      if (!(value > threshold)) continue;
      kept.ir.push_back(C.ir[k]);
      kept.pr.push_back(value);
    }
    kept.jc.push_back(kept.ir.size());
  }
  return kept;
}

double someThreshold(std::mt19937& random) {
  const double listed[] = {-1.0, 0.0, 1.0 / 3.0, 0.5, 1.0, 2.0, NAN, INFINITY};
  const size_t pick = random() % 10;
  return pick < 8 ? listed[pick] : std::uniform_real_distribution<double>(0.0, 1.0)(random);
}

// A kernel's pairs stored into exactly their room, so a write past it is a sanitizer error.
PlainSparse storedByKernel(NeighborPairs found) {
  const size_t n = found.n;
  std::vector<uint64_t> jc(n + 1), ir(found.entries);
  std::vector<double> pr(found.entries);
  storeNeighborPairs(found, outputOver(n, jc.data(), ir.data(), pr.data(), ir.size()));
  return storedPart(n, n, jc.data(), ir.data(), pr.data(), ir.size());
}

MatrixView viewOf(const RandomGraph& G) {
  return MatrixView{G.n, G.n, G.logical ? nullptr : G.values.data(), G.logical ? G.bytes.data() : nullptr,
                    G.ir.data(), G.jc.data()};
}

// Runs `check` on `rounds` random graphs, each with its counts formed in full and a threshold.
void onRandomGraphs(unsigned seed, int rounds,
                    const std::function<void(const RandomGraph&, const Neighbourhoods&, double)>& check) {
  std::mt19937 random(seed);
  for (int round = 0; round < rounds; ++round) {
    const RandomGraph G = randomGraph(random);
    const double threshold = someThreshold(random);
    SCOPED_TRACE("round " + std::to_string(round));
    check(G, countsOf(G), threshold);
  }
}

TEST(NeighborKernels, MatchTheFormulasOnCountsFormedInFull) {
  onRandomGraphs(1101, 400, [](const RandomGraph& G, const Neighbourhoods& C, double threshold) {
    EXPECT_EQ(keptAbove(C, plainJaccard, threshold), storedByKernel(neighborJaccard(viewOf(G), threshold)));
    EXPECT_EQ(keptAbove(C, plainOverlap, threshold), storedByKernel(neighborOverlap(viewOf(G), threshold)));
    EXPECT_EQ(0u, testhostFreeWorkspace());
  });
  testhostTakeOutput();
}

// The entries of Vostrel(C, d') strictly above the threshold, from the plug-in.
PlainSparse vostrelAbove(const Neighbourhoods& C, double threshold) {
  const PluginCall divided =
      callPlugin("Vostrel", {testhostSparse(C.n, C.n, C.jc, C.ir, C.pr), testhostFull(1, C.n, C.degrees)});
  Neighbourhoods quotients = C;
  quotients.pr = divided.result.pr;
  return keptAbove(quotients, [](double value, double, double) { return value; }, threshold);
}

TEST(NeighborPlugins, EqualTessalyAndVostrelGivenTheCountsWithExactRoom) {
  onRandomGraphs(1102, 200, [](const RandomGraph& G, const Neighbourhoods& C, double threshold) {
    const PluginCall jaccard = callPlugin("neighborJaccard", {G.hostArray(), testhostFull(1, 1, {threshold})});
    const PluginCall tessaly = callPlugin("tessaly", {testhostSparse(C.n, C.n, C.jc, C.ir, C.pr),
                                                      testhostFull(C.n, 1, C.degrees), testhostFull(1, 1, {threshold})});
    ASSERT_TRUE(jaccard.returned) << jaccard.error.identifier;
    EXPECT_EQ(tessaly.result, jaccard.result);
    const PluginCall overlap = callPlugin("neighborOverlap", {G.hostArray(), testhostFull(1, 1, {threshold})});
    ASSERT_TRUE(overlap.returned) << overlap.error.identifier;
    EXPECT_EQ(vostrelAbove(C, threshold), overlap.result);
    for (const PluginCall* call : {&jaccard, &overlap}) {
      EXPECT_EQ(std::max<size_t>(call->result.ir.size(), 1), call->nzmax);
      EXPECT_TRUE(call->guardsIntact);
      EXPECT_EQ(0u, call->workspaceLeft);
    }
  });
}

// A value that marks each time it is taken with a "v" and is the count of shared neighbours.
double markedCount(int32_t shared, int32_t, int32_t) {
  mexPrintf("v");
  return shared;
}
const NeighborMeasure kMarked = {"marked", "%d%%\n", markedCount};

// The n-by-n graph of the edges r -> r + 1: 0 -> 1 -> ... -> n-1.
RandomGraph pathGraph(size_t n) {
  RandomGraph G;
  G.n = n;
  for (size_t j = 0; j < n; ++j) {
    if (j > 0) G.ir.push_back(j - 1), G.values.push_back(1.0);
    G.jc.push_back(G.ir.size());
  }
  return G;
}

// Whether a pass over G keeping every pair stays within a limit of `limit` entries; a pass past
// it frees its workspace itself.
bool keptWithin(const RandomGraph& G, int32_t limit) {
  const NeighborPairs found = findNeighborPairs(kMarked, viewOf(G), -1.0, NeighborLimits{limit, UINT64_MAX});
  testhostTakeOutput();
  const size_t blocksLeft = testhostFreeWorkspace();
  if (found.overflowed) EXPECT_EQ(0u, blocksLeft);
  return !found.overflowed;
}

TEST(NeighborPass, StopsPastItsLimitOfEntriesHoldingNothing) {
  // The path 0 -> 1 -> ... -> 5: nodes 0 to 3 each reach the node two further on.
  EXPECT_TRUE(keptWithin(pathGraph(6), 4));
  EXPECT_FALSE(keptWithin(pathGraph(6), 3));
  // The undirected path 0 - 1 - 2: pairs (0,0), (0,2), (1,1), (2,2), and (2,0) mirrored.
  RandomGraph undirected;
  undirected.n = 3;
  undirected.jc = {0, 1, 3, 4};
  undirected.ir = {1, 0, 2, 1};
  undirected.values = {1, 1, 1, 1};
  EXPECT_TRUE(keptWithin(undirected, 5));
  EXPECT_FALSE(keptWithin(undirected, 4));
}

// The products of a pass over G: for a symmetric pattern d(d+1)/2 through each node of degree d,
// else the edges out of k for every edge r -> k.
uint64_t productsOf(const RandomGraph& G) {
  const size_t n = G.n;
  std::vector<uint64_t> out(n, 0);
  bool symmetric = true;
  for (size_t r = 0; r < n; ++r)
    for (size_t k = 0; k < n; ++k) out[r] += G.edge[r * n + k], symmetric &= G.edge[r * n + k] == G.edge[k * n + r];
  uint64_t products = 0;
  for (size_t k = 0; k < n; ++k) {
    if (symmetric) products += out[k] * (out[k] + 1) / 2;
    for (size_t r = 0; r < n && !symmetric; ++r) products += G.edge[r * n + k] * out[k];
  }
  return products;
}

// What a pass over G prints before its pairs are stored, progress shown from `productsShown` on.
std::string printedByPass(const RandomGraph& G, uint64_t productsShown) {
  testhostTakeOutput();
  findNeighborPairs(kMarked, viewOf(G), 0.0, NeighborLimits{INT32_MAX, productsShown});
  testhostFreeWorkspace();
  return testhostTakeOutput();
}

TEST(NeighborPass, PrintsEachTenthOfItsProductsFromItsExactCountOn) {
  // Rows 0 to 17 of the path on 20 nodes take one product each and reach one node: the tenths
  // of 18 products complete at products 2, 4, 6, 8, 9, 11, 13, 15, 17 and 18.
  testhostTakeCommands();
  EXPECT_EQ("marked: n = 20, nnz(G) = 19, threshold = 0.000000\n"
            "vv10%\nvv20%\nvv30%\nvv40%\nv50%\nvv60%\nvv70%\nvv80%\nvv90%\nv100%\n",
            printedByPass(pathGraph(20), 18));
  const std::string commands = testhostTakeCommands();
  EXPECT_EQ(10, std::count(commands.begin(), commands.end(), '\n'));
  EXPECT_EQ("marked: n = 20, nnz(G) = 19, threshold = 0.000000\n" + std::string(18, 'v'),
            printedByPass(pathGraph(20), 19));
  // Symmetric and directed graphs: shown from exactly their products on.
  std::mt19937 random(1103);
  for (int round = 0; round < 50; ++round) {
    const RandomGraph G = randomGraph(random);
    const uint64_t products = productsOf(G);
    SCOPED_TRACE("round " + std::to_string(round) + ", products " + std::to_string(products));
    EXPECT_NE(std::string::npos, printedByPass(G, products).find("100%"));
    EXPECT_EQ(std::string::npos, printedByPass(G, products + 1).find("%"));
  }
}

// The error a plug-in raises when given the graph G alone.
std::string refusalOf(const std::string& word, mxArray* G) { return callPlugin(word, {G}).error.identifier; }

TEST(NeighborPlugins, RefuseSizesAndCountsOf2To31) {
  for (const std::string word : {"neighborJaccard", "neighborOverlap"}) {
    EXPECT_EQ("MATLAB:" + word + ":toomany", refusalOf(word, sparseClaiming(1, 1, UINT64_C(1) << 31)));
    EXPECT_EQ("MATLAB:" + word + ":toomany", refusalOf(word, sparseClaiming(1, 1, UINT64_C(1) << 32)));
#if defined(__linux__)
    const ReservedColumnStarts starts(UINT64_C(1) << 31);
    EXPECT_EQ("MATLAB:" + word + ":toolarge", refusalOf(word, starts.matrix(UINT64_C(1) << 31, UINT64_C(1) << 31)));
#endif
  }
}

}  // namespace
