// neighborJaccard and neighborOverlap: the kernels against common-neighbour counts formed in full
// and the plain formulas, the plug-ins against tessaly and Vostrel given those counts, on random
// graphs; the pass's limit and progress lines; the size limits of the gateways. Each kernel runs
// on 1, 2 and 3 threads, a thread for every unit of work, and must find the same bit for bit.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <algorithm>
#include <functional>

#include "neighbors/neighbor_measures.h"
#include "neighbors/neighbor_pair_values.h"
#include "neighbors/neighbor_similarity.h"
#include "neighbors/neighbor_store.h"
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
  for (int round = 0; round < roundsHere(rounds); ++round) {
    const RandomGraph G = randomGraph(random);
    const double threshold = someThreshold(random);
    SCOPED_TRACE("round " + std::to_string(round));
    check(G, countsOf(G), threshold);
  }
}

// The thread counts every kernel test runs at: one, two, and an odd number.
const int32_t kThreadCounts[] = {1, 2, 3};

// `request` on `threads` threads, one for each unit of work however little there is.
NeighborRequest onThreads(NeighborRequest request, int32_t threads) {
  request.pairs.threads = threads;
  request.limits.workPerThread = 1;
  return request;
}

// The module's request of neighborJaccard or neighborOverlap above `threshold`.
NeighborRequest moduleRequest(const RandomGraph& G, const NeighborMeasure& measure, double threshold) {
  return thresholdedRequest("kernel", "", "%d%%\n", "", measure, (int32_t)G.n, threshold);
}

TEST(NeighborKernels, MatchTheFormulasOnCountsFormedInFull) {
  EXPECT_EQ(testhostTakeOutput(), "");
  onRandomGraphs(1101, 400, [](const RandomGraph& G, const Neighbourhoods& C, double threshold) {
    EXPECT_EQ(keptAbove(C, plainJaccard, threshold), storedByKernel(neighborJaccard(viewOf(G), threshold)));
    EXPECT_EQ(keptAbove(C, plainOverlap, threshold), storedByKernel(neighborOverlap(viewOf(G), threshold)));
    testhostTakeOutput();
    std::string printed;
    for (const int32_t threads : kThreadCounts) {
      SCOPED_TRACE(std::to_string(threads) + " threads");
      const NeighborRequest jaccard = onThreads(moduleRequest(G, neighborJaccardMeasure(), threshold), threads);
      EXPECT_EQ(keptAbove(C, plainJaccard, threshold), storedByKernel(findNeighborPairs(jaccard, viewOf(G))));
      const NeighborRequest overlap = onThreads(moduleRequest(G, neighborOverlapMeasure(), threshold), threads);
      EXPECT_EQ(keptAbove(C, plainOverlap, threshold), storedByKernel(findNeighborPairs(overlap, viewOf(G))));
      const std::string out = testhostTakeOutput();
      if (threads == 1) printed = out;
      EXPECT_EQ(printed, out);
    }
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

// What a neighborSimilarity call asks: a measure, weighted or not, and its options.
struct SimilarityAsked {
  std::string measure;
  bool weighted = false, thresholded = false, self = true, nonEdges = false;
  double threshold = 0;
  size_t topK = 0;             // 0: every pair
  std::vector<double> columns;  // 1-based; empty with `sliced` false: every column
  bool sliced = false;
  std::string direction;        // "" for the default, else its name as the option gives it
  std::vector<double> rows;     // 1-based; with `rowsGiven` false: every row
  bool rowsGiven = false;
  int32_t threads = 0;          // 0: the host's count
};

// A direction's neighbours as the help defines them, on the dense pattern and weights of G: the
// neighbours k of r, the columns j k reaches, and their weights.
struct Neighbourhood {
  const RandomGraph& G;
  const std::vector<double>& w;
  int direction;  // 0 paths, 1 outgoing, 2 incoming, 3 both
  bool edge(size_t r, size_t k) const { return G.edge[r * G.n + k]; }
  bool either(size_t r, size_t k) const { return edge(r, k) || edge(k, r); }
  double weight(size_t r, size_t k) const { return edge(r, k) ? w[r * G.n + k] : 0.0; }
  // k is a neighbour of r (A(r,k)), and j a column k reaches (B(k,j)).
  bool inA(size_t r, size_t k) const { return direction == 2 ? edge(k, r) : direction == 3 ? either(r, k) : edge(r, k); }
  bool inB(size_t k, size_t j) const { return direction == 1 ? edge(j, k) : direction == 3 ? either(k, j) : edge(k, j); }
  double a(size_t r, size_t k) const {
    return direction == 2 ? weight(k, r) : direction == 3 ? weight(r, k) + weight(k, r) : weight(r, k);
  }
  double b(size_t k, size_t j) const {
    return direction == 1 ? weight(j, k) : direction == 3 ? weight(k, j) + weight(j, k) : weight(k, j);
  }
  // The pair (r, j) is an edge, for non-edges only: of G for the paths, of either direction else.
  bool isEdge(size_t r, size_t j) const { return direction == 0 ? edge(r, j) : either(r, j); }
};

// The direction's number, from its name as a call gives it.
int directionNumber(const std::string& name) {
  std::string lower = name;
  for (char& letter : lower) letter = (char)tolower(letter);
  if (lower == "outgoing" || lower == "out") return 1;
  if (lower == "incoming" || lower == "in") return 2;
  if (lower == "both" || lower == "all") return 3;
  return 0;
}

// The value of a pair from its sum and the two nodes' numbers, as the help defines each measure.
double plainMeasure(const std::string& measure, bool weighted, double sum, double dr, double dj) {
  if (measure == "jaccard") return (dr + dj) - sum > 0 ? sum / ((dr + dj) - sum) : NAN;
  if (measure == "overlap") return sum / std::min(dr, dj);
  if (measure == "dice") return 2.0 * sum / (dr + dj);
  if (measure == "cosine") return weighted ? sum / (dr * dj) : sum / sqrt(dr * dj);
  if (measure == "hubDepressed") return sum / std::max(dr, dj);
  if (measure == "lhn") return sum / (dr * dj);
  return sum;  // common, adamicAdar, resourceAllocation
}

// neighborSimilarity's result formed in full: every pair (r, j) with a common neighbour k in the
// direction asked, its sum added over k in ascending order, the measure's value, then the options'
// choices column by column; with rows of its own, only those rows, numbered in the list's order.
PlainSparse plainSimilarity(const RandomGraph& G, const std::vector<double>& w, const SimilarityAsked& asked) {
  const size_t n = G.n;
  const Neighbourhood around = {G, w, directionNumber(asked.direction)};
  std::vector<double> degree(n, 0), total(n, 0), squares(n, 0), reaching(n, 0);
  for (size_t r = 0; r < n; ++r)
    for (size_t k = 0; k < n; ++k) {
      if (around.inA(r, k)) degree[r] += 1, total[r] += around.a(r, k), squares[r] += around.a(r, k) * around.a(r, k);
      reaching[r] += around.inB(r, k);
    }
  std::vector<size_t> rows;
  for (size_t r = 0; r < n; ++r)
    if (!asked.rowsGiven || std::any_of(asked.rows.begin(), asked.rows.end(), [r](double x) { return (size_t)x == r + 1; }))
      rows.push_back(r);
  PlainSparse S;
  S.m = rows.size();
  for (size_t j = 0; j < n; ++j) {
    const auto listed = [j](double number) { return (size_t)number == j + 1; };
    if (asked.sliced && std::none_of(asked.columns.begin(), asked.columns.end(), listed)) continue;
    std::vector<std::pair<double, size_t>> column;  // value, row of the result
    for (size_t i = 0; i < rows.size(); ++i) {
      const size_t r = rows[i];
      double sum = 0;
      bool shared = false;
      for (size_t k = 0; k < n; ++k) {
        if (!around.inA(r, k) || !around.inB(k, j)) continue;
        shared = true;
        const double a = around.a(r, k), b = around.b(k, j);
        if (asked.measure == "adamicAdar") sum += reaching[k] > 1 ? 1.0 / naturalLog(reaching[k]) : 0.0;
        else if (asked.measure == "resourceAllocation") sum += 1.0 / reaching[k];
        else if (!asked.weighted) sum += 1.0;
        else if (asked.measure == "jaccard" || asked.measure == "dice") sum += std::min(a, b);
        else sum += a * b;
      }
      if (!shared || (!asked.self && r == j) || (asked.nonEdges && around.isEdge(r, j))) continue;
      const bool normed = asked.weighted && asked.measure == "cosine";
      const double dr = !asked.weighted ? degree[r] : normed ? sqrt(squares[r]) : total[r];
      const double dj = !asked.weighted ? degree[j] : normed ? sqrt(squares[j]) : total[j];
      const double value = plainMeasure(asked.measure, asked.weighted, sum, dr, dj);
      if (asked.thresholded && !(value > asked.threshold)) continue;
      if (asked.topK > 0 && value != value) continue;
      column.push_back({value, i});
    }
    appendColumn(S, column, asked.topK);
  }
  return S;
}

// The plug-in's inputs for `asked` on G with weights w: G, the measure and the options given.
std::vector<mxArray*> similarityInputs(const RandomGraph& G, const std::vector<double>& w, const SimilarityAsked& asked) {
  std::vector<double> values;
  for (size_t j = 0; j < G.n; ++j)
    for (uint64_t k = G.jc[j]; k < G.jc[j + 1]; ++k) values.push_back(G.values[k] == 0.0 ? 0.0 : w[G.ir[k] * G.n + j]);
  std::vector<mxArray*> inputs = {asked.weighted || !G.logical ? testhostSparse(G.n, G.n, G.jc, G.ir, values)
                                                               : G.hostArray(),
                                  testhostText(asked.measure)};
  const auto option = [&inputs](const std::string& name, mxArray* value) {
    inputs.push_back(testhostText(name));
    inputs.push_back(value);
  };
  if (asked.weighted) option("weighted", testhostFull(1, 1, {1}));
  if (asked.thresholded) option("Threshold", testhostFull(1, 1, {asked.threshold}));
  if (asked.topK > 0) option("TOPK", testhostFull(1, 1, {(double)asked.topK}));
  if (!asked.self) option("Self", testhostFull(1, 1, {0}));
  if (asked.nonEdges) option("NonEdges", testhostFull(1, 1, {1}));
  if (asked.sliced) option("Columns", testhostFull(1, asked.columns.size(), asked.columns));
  if (!asked.direction.empty()) option("Direction", testhostText(asked.direction));
  if (asked.rowsGiven) option("Rows", testhostFull(asked.rows.size(), 1, asked.rows));
  if (asked.threads > 0) option("Threads", testhostFull(1, 1, {(double)asked.threads}));
  return inputs;
}

// The request neighborSimilarity's gateway makes of `asked`, on `threads` threads with a thread for
// every unit of work; `columns` and `rows` receive the 0-based lists it points to.
NeighborRequest requestOf(const RandomGraph& G, const SimilarityAsked& asked, int32_t threads,
                          std::vector<int32_t>& columns, std::vector<int32_t>& rows) {
  NeighborRequest request = thresholdedRequest("neighborSimilarity", "", "%d%%\n", "",
                                               *neighborMeasureNamed(asked.measure.c_str(), asked.weighted), (int32_t)G.n,
                                               asked.threshold);
  request.thresholded = asked.thresholded;
  request.pairs.topK = (int32_t)std::min<size_t>(asked.topK, std::max<size_t>(G.n, 1));
  request.pairs.self = asked.self;
  request.nonEdgesOnly = asked.nonEdges;
  request.direction = (NeighborDirection)directionNumber(asked.direction);
  // A list of no columns or rows still has an address, as the gateway's has.
  columns.reserve(1);
  rows.reserve(1);
  for (double column : asked.columns) columns.push_back((int32_t)column - 1);
  for (double row : asked.rows) rows.push_back((int32_t)row - 1);
  if (asked.sliced) request.pairs.columns = columns.data(), request.pairs.columnCount = (int32_t)columns.size();
  if (asked.rowsGiven) request.rows = rows.data(), request.rowCount = (int32_t)rows.size();
  return onThreads(request, threads);
}

// G with the weights w as the kernels read it: its values in `values`.
MatrixView weightedView(const RandomGraph& G, const std::vector<double>& w, std::vector<double>& values) {
  for (size_t j = 0; j < G.n; ++j)
    for (uint64_t k = G.jc[j]; k < G.jc[j + 1]; ++k) values.push_back(G.values[k] == 0.0 ? 0.0 : w[G.ir[k] * G.n + j]);
  return MatrixView{G.n, G.n, values.data(), nullptr, G.ir.data(), G.jc.data()};
}

// The kernel's result of `asked` on `threads` threads, stored into exactly its room.
PlainSparse kernelOnThreads(const RandomGraph& G, const std::vector<double>& w, const SimilarityAsked& asked,
                            int32_t threads) {
  std::vector<int32_t> columns, rows;
  std::vector<double> values;
  NeighborPairs found = findNeighborPairs(requestOf(G, asked, threads, columns, rows), weightedView(G, w, values));
  EXPECT_FALSE(found.overflowed);
  std::vector<uint64_t> jc(found.request.pairs.columnCount + 1), ir(found.entries);
  std::vector<double> pr(found.entries);
  const int32_t m = found.rowCount, n = found.request.pairs.columnCount;
  storeNeighborPairs(found, SparseView{(uint64_t)m, (uint64_t)n, pr.data(), ir.data(), jc.data(), ir.size()});
  testhostTakeOutput();
  return storedPart(m, n, jc.data(), ir.data(), pr.data(), ir.size());
}

// The values neighborSimilarity gives for listed pairs: the inputs of `asked` (with no choice of
// rows, columns, threshold or top values) and the pairs, 1-based, as an m-by-2 matrix.
std::vector<double> pairValues(const RandomGraph& G, const std::vector<double>& w, SimilarityAsked asked,
                               const std::vector<double>& pairs) {
  asked.thresholded = asked.sliced = asked.rowsGiven = false;
  asked.topK = 0;
  std::vector<mxArray*> inputs = similarityInputs(G, w, asked);
  inputs.push_back(testhostText("Pairs"));
  inputs.push_back(testhostFull(pairs.size() / 2, 2, pairs));
  const PluginCall call = callPlugin("neighborSimilarity", inputs);
  EXPECT_TRUE(call.returned) << call.error.identifier << " " << call.error.message;
  EXPECT_TRUE(call.full);
  return call.result.pr;
}

TEST(NeighborSimilarityPlugin, MatchesEveryMeasureFormedInFullWithAnyOptions) {
  const std::vector<std::pair<std::string, bool>> measures = {
      {"jaccard", false}, {"overlap", false}, {"dice", false}, {"cosine", false}, {"hubDepressed", false},
      {"lhn", false}, {"common", false}, {"adamicAdar", false}, {"resourceAllocation", false}, {"jaccard", true},
      {"dice", true}, {"cosine", true}, {"common", true}};
  std::mt19937 random(2012);
  for (int round = 0; round < roundsHere(13 * 40); ++round) {
    RandomGraph G = randomGraph(random);
    SimilarityAsked asked;
    asked.measure = measures[round % 13].first;
    asked.weighted = measures[round % 13].second;
    // Weights: every edge 1 for the pattern's measures, else one of a few positive values, the
    // same both ways in most symmetric graphs.
    std::vector<double> w(G.n * G.n, 1.0);
    const bool mirrored = random() % 4 != 0;
    for (size_t r = 0; r < G.n && asked.weighted; ++r)
      for (size_t k = 0; k < G.n; ++k)
        w[r * G.n + k] = mirrored && k < r ? w[k * G.n + r] : 0.5 * (1 + random() % 6);
    asked.thresholded = random() % 3 != 0;
    asked.threshold = someThreshold(random);
    asked.topK = random() % 3 == 0 ? 1 + random() % 4 : 0;
    asked.self = random() % 4 != 0;
    asked.nonEdges = random() % 4 == 0;
    asked.sliced = random() % 3 == 0;
    for (size_t j = 1; asked.sliced && j <= G.n; ++j)
      if (random() % 3 == 0) asked.columns.push_back(j + (random() % 2) * 0.5);
    const char* directions[] = {"", "paths", "outgoing", "IN", "both", "out", "all"};
    asked.direction = directions[random() % 7];
    asked.rowsGiven = random() % 4 == 0;
    for (size_t r = 1; asked.rowsGiven && r <= G.n; ++r)
      if (random() % 3 == 0) asked.rows.push_back(r + (random() % 2) * 0.5);
    SCOPED_TRACE("round " + std::to_string(round) + " " + asked.measure + (asked.weighted ? " weighted" : "") +
                 " direction " + asked.direction);
    const PluginCall call = callPlugin("neighborSimilarity", similarityInputs(G, w, asked));
    ASSERT_TRUE(call.returned) << call.error.identifier << " " << call.error.message;
    PlainSparse expected = plainSimilarity(G, w, asked);
    EXPECT_EQ(expected, call.result);
    EXPECT_EQ(std::max<size_t>(expected.ir.size(), 1), call.nzmax);
    EXPECT_TRUE(call.guardsIntact);
    EXPECT_EQ(0u, call.workspaceLeft);
    // Listed pairs, repeats and both orders among them, get the whole result's entries.
    SimilarityAsked whole = asked;
    whole.thresholded = whole.sliced = whole.rowsGiven = false;
    whole.topK = 0;
    const PlainSparse all = plainSimilarity(G, w, whole);
    std::vector<double> pairs, expectedValues;
    for (int p = 0; p < 12 && G.n > 0; ++p) pairs.push_back(1 + random() % G.n);
    for (size_t p = 0; p < pairs.size() / 2; ++p) {
      const size_t r = (size_t)pairs[2 * p] - 1, j = (size_t)pairs[2 * p + 1] - 1;
      double value = 0.0;
      for (uint64_t k = all.jc[j]; k < all.jc[j + 1]; ++k)
        if (all.ir[k] == r) value = all.pr[k];
      expectedValues.push_back(value);
    }
    // The matrix of pairs is column-major: the first nodes, then the second ones.
    std::vector<double> columnMajor;
    for (size_t p = 0; p < pairs.size(); p += 2) columnMajor.push_back(pairs[p]);
    for (size_t p = 1; p < pairs.size(); p += 2) columnMajor.push_back(pairs[p]);
    const std::vector<double> values = pairValues(G, w, asked, columnMajor);
    ASSERT_EQ(expectedValues.size(), values.size());
    EXPECT_EQ(0, memcmp(expectedValues.data(), values.data(), values.size() * sizeof(double)));
    // The same on more threads, a thread for every unit of work.
    for (const int32_t threads : {2, 3}) {
      SCOPED_TRACE(std::to_string(threads) + " threads");
      EXPECT_EQ(expected, kernelOnThreads(G, w, asked, threads));
      std::vector<int32_t> columns, rows, from, to;
      std::vector<double> graphValues, threaded(expectedValues.size() + 1);
      for (size_t p = 0; p < pairs.size(); p += 2) from.push_back((int32_t)pairs[p] - 1), to.push_back((int32_t)pairs[p + 1] - 1);
      SimilarityAsked whole = asked;
      whole.sliced = whole.rowsGiven = false;
      neighborPairValues(requestOf(G, whole, threads, columns, rows), weightedView(G, w, graphValues), from.data(),
                         to.data(), (int64_t)from.size(), threaded.data());
      testhostTakeOutput();
      EXPECT_EQ(0, memcmp(expectedValues.data(), threaded.data(), expectedValues.size() * sizeof(double)));
      EXPECT_EQ(0u, testhostFreeWorkspace());
    }
  }
}

TEST(NaturalLog, IsTheLibraryLogOrCloserToTheTrueValueForEveryDegree) {
  EXPECT_EQ(0.0, naturalLog(1.0));
  EXPECT_EQ(0.6931471805599453, naturalLog(2.0));
  for (double d = 1; d <= 300000; ++d) {
    const double ours = naturalLog(d), library = log(d);
    if (ours == library) continue;
    // The two may differ by an ulp where the true value lies nearly halfway between doubles.
    const long double truth = logl((long double)d);
    EXPECT_LE(fabsl(ours - truth), fabsl(library - truth)) << d;
    EXPECT_TRUE(ours == nextafter(library, ours) && nextafter(ours, library) == library) << d;
  }
  EXPECT_EQ(log(2147483647.0), naturalLog(2147483647.0));
}

// A value that marks each time it is taken with a "v" and is the count of shared neighbours.
double markedCount(double shared, double, double) {
  mexPrintf("v");
  return shared;
}
const NeighborMeasure kMarked = {"marked", false, kSharedCount, kEdgesOut, markedCount};

// The request of a pass with the marked measure, every pair above `threshold` kept, at most
// `maxEntries` of them, progress shown from `productsShown` on. It prints as it computes values,
// so it runs on the calling thread alone, a round for each unit of work: each row's lines show
// as soon as its values are computed.
NeighborRequest markedRequest(const RandomGraph& G, double threshold, int32_t maxEntries, uint64_t productsShown) {
  NeighborRequest request =
      thresholdedRequest("marked", "marked: n = %d, nnz(G) = %d, threshold = %f\n", "%d%%\n", "", kMarked,
                         (int32_t)G.n, threshold);
  request.pairs.maxEntries = (uint64_t)maxEntries;
  request.pairs.threads = 1;
  request.limits.productsShown = productsShown;
  request.limits.workPerThread = 1;
  return request;
}

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

// Whether a pass over G keeping every pair stays within a limit of `limit` entries, on every
// number of threads alike; a pass past it frees its workspace itself.
bool keptWithin(const RandomGraph& G, int32_t limit) {
  const NeighborPairs found = findNeighborPairs(markedRequest(G, -1.0, limit, UINT64_MAX), viewOf(G));
  testhostTakeOutput();
  const size_t blocksLeft = testhostFreeWorkspace();
  if (found.overflowed) EXPECT_EQ(0u, blocksLeft);
  for (const int32_t threads : kThreadCounts) {
    NeighborRequest request = onThreads(moduleRequest(G, *neighborMeasureNamed("common", false), -1.0), threads);
    request.pairs.maxEntries = (uint64_t)limit;
    EXPECT_EQ(found.overflowed, findNeighborPairs(request, viewOf(G)).overflowed) << threads << " threads";
    testhostFreeWorkspace();
  }
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
  findNeighborPairs(markedRequest(G, 0.0, INT32_MAX, productsShown), viewOf(G));
  testhostFreeWorkspace();
  return testhostTakeOutput();
}

// A symmetric graph of n nodes with heavy-tailed degrees: edge {r, k} drawn with a probability
// proportional to (r + 1)^-0.6 (k + 1)^-0.6, so that the first nodes are hubs; no loops.
RandomGraph hubbedGraph(std::mt19937& random, size_t n) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  RandomGraph G;
  G.n = n;
  G.edge.assign(n * n, 0);
  const double scale = 3.0 * n / (pow(n, 0.4) / 0.4) / (pow(n, 0.4) / 0.4);
  for (size_t r = 0; r < n; ++r)
    for (size_t k = r + 1; k < n; ++k)
      if (unit(random) < scale * pow(r + 1.0, -0.6) * pow(k + 1.0, -0.6)) G.edge[r * n + k] = G.edge[k * n + r] = 1;
  for (size_t j = 0; j < n; ++j) {
    for (size_t r = 0; r < n; ++r)
      if (G.edge[r * n + j]) G.ir.push_back(r), G.values.push_back(1.0);
    G.jc.push_back(G.ir.size());
  }
  return G;
}

// What a pass of `measure` above `threshold` stores and prints, run as `pass`.
struct PassRun {
  bool overflowed;
  PlainSparse result;
  std::string printed;
};
PassRun runPass(const RandomGraph& G, const NeighborMeasure& measure, double threshold, int32_t topK, bool self,
                bool nonEdges, int32_t maxEntries, const NeighborLimits& limits, int32_t threads) {
  NeighborRequest request = thresholdedRequest("pass", "", "%d%%\n", "", measure, (int32_t)G.n, threshold);
  // Top values above a threshold or of every pair sharing a neighbour.
  request.pairs.topK = topK;
  request.thresholded = topK == 0 || threshold > 0.1;
  request.pairs.self = self;
  request.nonEdgesOnly = nonEdges;
  request.pairs.maxEntries = (uint64_t)maxEntries;
  request.limits = limits;
  request = onThreads(request, threads);
  testhostTakeOutput();
  NeighborPairs found = findNeighborPairs(request, viewOf(G));
  PassRun run = {found.overflowed, {}, ""};
  if (!found.overflowed) run.result = storedByKernel(found);
  run.printed = testhostTakeOutput();
  EXPECT_EQ(0u, testhostFreeWorkspace());
  return run;
}

// The k largest values of each column of S, ties to the smaller row, rows ascending.
PlainSparse topOfEachColumn(const PlainSparse& S, int32_t k) {
  PlainSparse top;
  top.m = S.m;
  top.n = S.n;
  for (size_t j = 0; j < S.n; ++j) {
    std::vector<std::pair<double, uint64_t>> column;
    for (uint64_t q = S.jc[j]; q < S.jc[j + 1]; ++q) column.push_back({S.pr[q], S.ir[q]});
    std::sort(column.begin(), column.end(), [](const std::pair<double, uint64_t>& a, const std::pair<double, uint64_t>& b) {
      return a.first > b.first || (a.first == b.first && a.second < b.second);
    });
    if (column.size() > (size_t)k) column.resize((size_t)k);
    std::sort(column.begin(), column.end(), [](const std::pair<double, uint64_t>& a, const std::pair<double, uint64_t>& b) {
      return a.second < b.second;
    });
    for (const auto& entry : column) top.ir.push_back(entry.second), top.pr.push_back(entry.first);
    top.jc.push_back(top.ir.size());
  }
  return top;
}

// The pass by prefixes against the full count, bit for bit, on every measure with a bound, each on
// 1, 2 and 3 threads: small graphs of every kind (only symmetric ones take the prefixes) and
// graphs of up to 300 nodes with hubs, thresholds of every kind and values equal to them, the
// diagonal left out, non-edges only, limits of entries that overflow, and the progress lines, the
// same whatever the number of threads; and top values, of every pair or above a threshold, ties
// among them, offered in the order of degrees or of rows, the same on every number of threads.
TEST(NeighborPass, FindsByPrefixesWhatTheFullCountFinds) {
  const char* names[] = {"jaccard", "overlap", "dice", "cosine", "hubDepressed", "common", "adamicAdar",
                         "resourceAllocation"};
  std::mt19937 random(2101);
  for (int round = 0; round < roundsHere(800); ++round) {
    const RandomGraph G = round % 4 == 3 ? hubbedGraph(random, 40 + random() % 260) : randomGraph(random);
    const NeighborMeasure& measure = *neighborMeasureNamed(names[round % 8], false);
    const int32_t topK = round % 8 >= 5 || random() % 2 ? 1 + (int32_t)(random() % 12) : 0;
    const double fractions[] = {0.25, 0.4, 0.5, 0.6, 2.0 / 3.0, 0.75, 0.8, 0.9};
    const double threshold = random() % 2 ? fractions[random() % 8] : someThreshold(random);
    const bool self = random() % 4 != 0, nonEdges = random() % 4 == 0;
    const int32_t maxEntries = random() % 8 == 0 ? (int32_t)(random() % 200) : INT32_MAX;
    NeighborLimits limits = moduleLimits();
    limits.productsShown = random() % 4 == 0 ? (uint64_t)(random() % 2000) : UINT64_MAX;
    limits.pass = kCountingPass;
    SCOPED_TRACE("round " + std::to_string(round) + " " + names[round % 8] + " above " + std::to_string(threshold) +
                 " top " + std::to_string(topK));
    PassRun expected = runPass(G, measure, threshold, topK, self, nonEdges, maxEntries, limits, 1);
    if (topK > 0) {
      // Top values against every pair kept, then the k largest of each column.
      const PassRun all = runPass(G, measure, threshold > 0.1 ? threshold : -1.0, 0, self, nonEdges, INT32_MAX, limits, 1);
      const PlainSparse top = topOfEachColumn(all.result, topK);
      EXPECT_EQ(top.ir.size() > (size_t)maxEntries, expected.overflowed);
      if (!expected.overflowed) EXPECT_EQ(top, expected.result);
    }
    for (const PassChoice pass : {kCountingPass, kPrefixPass, kCheaperPass}) {
      limits.pass = pass;
      std::string printedOnOne;
      for (const int32_t threads : kThreadCounts) {
        SCOPED_TRACE("pass " + std::to_string(pass) + " on " + std::to_string(threads) + " threads");
        const PassRun run = runPass(G, measure, threshold, topK, self, nonEdges, maxEntries, limits, threads);
        EXPECT_EQ(expected.overflowed, run.overflowed);
        EXPECT_EQ(expected.result, run.result);
        // Both passes show their progress from the same products on, each in tenths of its own
        // work, and each shows the same lines on every number of threads.
        EXPECT_EQ(expected.printed.find("100%") != std::string::npos, run.printed.find("100%") != std::string::npos);
        if (threads == 1) printedOnOne = run.printed;
        EXPECT_EQ(printedOnOne, run.printed);
      }
    }
  }
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
