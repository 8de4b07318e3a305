// The similarity kernels against the plain loop that bounds them, measured in the same run: the
// attribute similarities against a population count of the same words of every pair (hardware
// POPCNT where the processor has it), and the neighbourhood pass against a plain sparse
// accumulator counting the same products (Gustavson's row by row count of G * G, the upper half
// of a symmetric G). A share of 100% is the plain loop's speed; the pass that skips pairs a
// threshold rules out can do better than the loop over every product, and its share says by how
// much. Inputs: 3000 listed nodes with 256 attributes of density 0.1 and with 2000 attributes of
// skewed frequencies (attribute a held with probability 0.5 / a), and graphs of 40,000 nodes, one
// with about 12 random neighbours a node and one with heavy-tailed degrees.
#include <benchmark/benchmark.h>
#include <math.h>

#include <random>
#include <string>
#include <vector>

#include "attributes/attribute_bits.h"
#include "attributes/attribute_pairs.h"
#include "attributes/attribute_store.h"
#include "bench/fastest_runs.h"
#include "bench/random_sparse.h"
#include "frame/vector_instructions.h"
#include "neighbors/neighbor_similarity.h"
#include "neighbors/neighbor_store.h"
#include "similarity/tessaly5.h"

namespace {

const uint64_t kListed = 3000;

// A numAttrs-by-kListed logical table, attribute a held with probability density(a).
template <typename Density>
std::vector<uint8_t> tableOf(uint64_t numAttrs, Density density) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<uint8_t> atts(kListed * numAttrs);
  for (uint64_t v = 0; v < kListed; ++v)
    for (uint64_t a = 0; a < numAttrs; ++a) atts[v * numAttrs + a] = unit(random) < density(a);
  return atts;
}

struct Table {
  std::string name;
  uint64_t numAttrs;
  std::vector<uint8_t> atts;
  std::vector<uint64_t> bits;  // each node's words together
};

const std::vector<Table>& tables() {
  static std::vector<Table>* made = nullptr;
  if (made) return *made;
  made = new std::vector<Table>{{"256 attributes, density 0.1", 256, tableOf(256, [](uint64_t) { return 0.1; }), {}},
                                {"2000 attributes, skewed", 2000,
                                 tableOf(2000, [](uint64_t a) { return 0.5 / (double)(a + 1); }), {}}};
  for (Table& table : *made) {
    const uint64_t words = wordsPerNode(table.numAttrs);
    table.bits.assign(kListed * words, 0);
    for (uint64_t v = 0; v < kListed; ++v)
      for (uint64_t a = 0; a < table.numAttrs; ++a)
        table.bits[v * words + a / 64] |= (uint64_t)table.atts[v * table.numAttrs + a] << (a % 64);
  }
  return *made;
}

#if defined(NETSPARSE_X86_64)
// The shared attributes of every unordered pair of nodes, by the POPCNT instruction.
TARGET_AVX2 uint64_t popcountPairsHardware(const uint64_t* bits, uint64_t words) {
  uint64_t total = 0;
  for (uint64_t p = 0; p < kListed; ++p)
    for (uint64_t q = p + 1; q < kListed; ++q)
      for (uint64_t w = 0; w < words; ++w) total += (uint64_t)_mm_popcnt_u64(bits[p * words + w] & bits[q * words + w]);
  return total;
}
#endif

// The same without the instruction.
uint64_t popcountPairsPortable(const uint64_t* bits, uint64_t words) {
  uint64_t total = 0;
  for (uint64_t p = 0; p < kListed; ++p)
    for (uint64_t q = p + 1; q < kListed; ++q)
      for (uint64_t w = 0; w < words; ++w) total += popcount64(bits[p * words + w] & bits[q * words + w]);
  return total;
}

void popcountLimit(benchmark::State& state, const Table& table) {
  const uint64_t words = wordsPerNode(table.numAttrs);
  for (auto _ : state) {
#if defined(NETSPARSE_X86_64)
    if (cpuPathRuns(kAvx2Path)) {
      benchmark::DoNotOptimize(popcountPairsHardware(table.bits.data(), words));
      continue;
    }
#endif
    benchmark::DoNotOptimize(popcountPairsPortable(table.bits.data(), words));
  }
}

// A result's arrays, grown to the room a kernel asks for.
struct Result {
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
  SparseView over(uint64_t n, uint64_t columns, uint64_t room) {
    jc.resize(columns + 1);
    if (ir.size() < room) ir.resize(room), pr.resize(room);
    return SparseView{n, columns, pr.data(), ir.data(), jc.data(), room};
  }
};

void attributeMeasure(benchmark::State& state, const Table& table, AttributeMeasure measure) {
  const MatrixView view = {table.numAttrs, kListed, nullptr, table.atts.data(), nullptr, nullptr};
  std::vector<int32_t> nodes(kListed);
  for (uint64_t k = 0; k < kListed; ++k) nodes[k] = (int32_t)k;
  Result result;
  AttributeRequest request = attributeJaccardRequest(0.5, kListed, kMaxEntries, widestPathOf(kAttributePairsKernel));
  request.measure = measure;
  for (auto _ : state) {
    AttributePairs found = findAttributePairs(request, view, nodes.data(), kListed);
    storeAttributePairs(found, result.over(kListed, kListed, found.entries));
  }
}

void tessaly5Pass(benchmark::State& state, const Table& table) {
  std::vector<double> list(kListed);
  for (uint64_t k = 0; k < kListed; ++k) list[k] = (double)(k + 1);
  Result result;
  for (auto _ : state)
    tessaly5(MatrixView{table.numAttrs, kListed, nullptr, table.atts.data(), nullptr, nullptr},
             NodeList{list.data(), kListed}, 0.5, result.over(kListed, kListed, kListed * kListed / 4));
}

// A symmetric 0/1 graph of n nodes without loops from its undirected edges.
PlainSparse graphOf(uint64_t n, const std::vector<std::pair<uint32_t, uint32_t>>& edges) {
  std::vector<std::vector<uint32_t>> rows(n);
  for (const auto& edge : edges) {
    if (edge.first == edge.second) continue;
    rows[edge.first].push_back(edge.second);
    rows[edge.second].push_back(edge.first);
  }
  PlainSparse G;
  G.n = n;
  G.jc.push_back(0);
  for (auto& row : rows) {
    std::sort(row.begin(), row.end());
    row.erase(std::unique(row.begin(), row.end()), row.end());
    for (uint32_t r : row) G.ir.push_back(r), G.pr.push_back(1.0);
    G.jc.push_back(G.ir.size());
  }
  return G;
}

// 40,000 nodes, each joined to about 12 random others.
PlainSparse uniformGraph() {
  std::mt19937_64 random(1);
  std::vector<std::pair<uint32_t, uint32_t>> edges;
  for (uint32_t v = 0; v < 40000; ++v)
    for (int e = 0; e < 6; ++e) edges.push_back({v, (uint32_t)(random() % 40000)});
  return graphOf(40000, edges);
}

// 40,000 nodes with about 12.6 neighbours on average and degrees of a power law of exponent
// 2.85: each end of an edge drawn with probability proportional to (i + 1)^(-1 / 1.85).
PlainSparse heavyTailedGraph() {
  const uint64_t n = 40000;
  std::vector<double> weights(n);
  for (uint64_t i = 0; i < n; ++i) weights[i] = pow((double)(i + 1), -1.0 / 1.85);
  std::mt19937_64 random(7);
  std::discrete_distribution<uint32_t> end(weights.begin(), weights.end());
  std::vector<std::pair<uint32_t, uint32_t>> edges;
  for (uint64_t e = 0; e < n * 63 / 10; ++e) edges.push_back({end(random), end(random)});
  return graphOf(n, edges);
}

struct Graph {
  std::string name;
  PlainSparse G;
};

const std::vector<Graph>& graphs() {
  static std::vector<Graph>* made = nullptr;
  if (!made) made = new std::vector<Graph>{{"12 random neighbours", uniformGraph()}, {"heavy tail", heavyTailedGraph()}};
  return *made;
}

// The common neighbours of every pair (r, j >= r) of a symmetric G, counted into a dense
// accumulator row by row, each count read and cleared once the row is done.
uint64_t accumulateProducts(const PlainSparse& G, std::vector<int32_t>& counts, std::vector<uint32_t>& reached) {
  uint64_t pairs = 0;
  for (uint64_t r = 0; r < G.n; ++r) {
    size_t listed = 0;
    for (uint64_t p = G.jc[r]; p < G.jc[r + 1]; ++p) {
      const uint64_t k = G.ir[p];
      for (uint64_t q = G.jc[k]; q < G.jc[k + 1]; ++q) {
        const uint64_t j = G.ir[q];
        if (j < r) continue;
        if (counts[j]++ == 0) reached[listed++] = (uint32_t)j;
      }
    }
    for (size_t i = 0; i < listed; ++i) pairs += (uint64_t)counts[reached[i]], counts[reached[i]] = 0;
  }
  return pairs;
}

void accumulatorLimit(benchmark::State& state, const Graph& graph) {
  std::vector<int32_t> counts(graph.G.n, 0);
  std::vector<uint32_t> reached(graph.G.n);
  for (auto _ : state) benchmark::DoNotOptimize(accumulateProducts(graph.G, counts, reached));
}

void neighborPass(benchmark::State& state, const Graph& graph, double threshold, PassChoice pass) {
  Result result;
  for (auto _ : state) {
    NeighborRequest request = thresholdedRequest("bench", "", "", "", neighborJaccardMeasure(), (int32_t)graph.G.n,
                                                 threshold);
    request.limits.pass = pass;
    NeighborPairs found = findNeighborPairs(request, graph.G.view());
    storeNeighborPairs(found, result.over(graph.G.n, graph.G.n, (uint64_t)found.entries));
  }
}

template <typename Body>
void add(const std::string& name, Body body) {
  benchmark::RegisterBenchmark(name.c_str(), body)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(5);
}

const char* kThresholds[] = {"0.05", "0.3", "0.5", "0.8"};

void registerAll() {
  for (const Table& table : tables()) {
    add("popcount/" + table.name, [&table](benchmark::State& s) { popcountLimit(s, table); });
    add("attributeJaccard/" + table.name,
        [&table](benchmark::State& s) { attributeMeasure(s, table, kJaccardOfAttributes); });
    add("attributeSimilarity cosine/" + table.name,
        [&table](benchmark::State& s) { attributeMeasure(s, table, kCosineOfAttributes); });
  }
  add("tessaly5 (every ordered pair)/" + tables()[0].name, [](benchmark::State& s) { tessaly5Pass(s, tables()[0]); });
  for (const Graph& graph : graphs()) {
    add("accumulator/" + graph.name, [&graph](benchmark::State& s) { accumulatorLimit(s, graph); });
    add("neighborJaccard 0.05, counting/" + graph.name,
        [&graph](benchmark::State& s) { neighborPass(s, graph, 0.05, kCountingPass); });
    for (const char* threshold : kThresholds)
      add(std::string("neighborJaccard ") + threshold + "/" + graph.name,
          [&graph, threshold](benchmark::State& s) { neighborPass(s, graph, atof(threshold), kCheaperPass); });
  }
}

// One row: the kernel's time over its input and its speed as a share of the limit's, where a
// kernel that evaluates every ordered pair (tessaly5) does twice the limit's pairs.
void printShare(const FastestRuns& runs, const std::string& kernel, const std::string& limit, const std::string& input,
                double pairsOverLimit) {
  const double seconds = runs.secondsOf(kernel + "/" + input), bound = runs.secondsOf(limit + "/" + input);
  if (seconds == 0.0 || bound == 0.0) return;
  printf("%-36s %-28s %9.2f ms %7.0f%% of %s\n", kernel.c_str(), input.c_str(), seconds * 1e3,
         100.0 * bound * pairsOverLimit / seconds, limit.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  registerAll();
  FastestRuns runs;
  benchmark::RunSpecifiedBenchmarks(&runs);
  printf("\nFastest repetition of each, in processor time, as a share of the speed of the plain loop that bounds it.\n");
  printf("%-36s %-28s %12s %s\n", "kernel", "input", "time", "share of the limit");
  for (const Table& table : tables()) {
    printShare(runs, "attributeJaccard", "popcount", table.name, 1.0);
    printShare(runs, "attributeSimilarity cosine", "popcount", table.name, 1.0);
  }
  printShare(runs, "tessaly5 (every ordered pair)", "popcount", tables()[0].name, 2.0);
  for (const Graph& graph : graphs()) {
    printShare(runs, "neighborJaccard 0.05, counting", "accumulator", graph.name, 1.0);
    for (const char* threshold : kThresholds)
      printShare(runs, std::string("neighborJaccard ") + threshold, "accumulator", graph.name, 1.0);
  }
  benchmark::Shutdown();
  return 0;
}
