// Every kernel against the kernel it replaced (tests/reference), on each code path this processor
// runs, and the streaming kernels against the copy bandwidth measured in the same run. Google
// Benchmark's table comes first; a table of ratios built from the fastest repetition of each
// follows. Times are the processor time of this process, which other work on a shared machine
// disturbs less than the time on the clock; run with --benchmark_enable_random_interleaving=true
// so that the repetitions of all comparisons take turns. Inputs: a graph of 40,000 nodes with about 12 neighbours each (C = G * G), and
// 3000 nodes with 256 attributes of density 0.1, every node listed.
#include <benchmark/benchmark.h>
#include <string.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/fastest_runs.h"
#include "bench/random_graph.h"
#include "merge/corvane.h"
#include "normalise/divide_by_min_degree.h"
#include "normalise/tessaly.h"
#include "similarity/tessaly5.h"
#include "similarity/tessaly5a.h"
#include "tests/reference/former_kernels.h"

namespace {

const uint64_t kGraphNodes = 40000, kListedNodes = 3000, kAttributes = 256;

// The inputs and output room of every comparison, made once.
struct Inputs {
  RandomGraph graph, other;  // C of two graphs: A and B of the merge
  int64_t blockEnd = kGraphNodes / 2;
  double blockEntriesOfB = 0;  // B's entries inside the block: the part of B the merge must read
  std::vector<uint64_t> jc, ir;
  std::vector<double> pr;
  std::vector<uint8_t> logical;  // kAttributes bytes per node
  std::vector<double> numeric;   // kListedNodes rows of kAttributes values
  std::vector<double> list;
  std::vector<char> copyFrom, copyTo;
};

const Inputs& inputs() {
  static Inputs* made = nullptr;
  if (made) return *made;
  made = new Inputs;
  made->graph = randomGraph(kGraphNodes, 12, 1);
  made->other = randomGraph(kGraphNodes, 12, 2);
  // B's counts less 1.5: about a third of its entries negative, so many merged values are not kept.
  for (double& value : made->other.C.pr) value -= 1.5;
  const PlainSparse& B = made->other.C;
  for (uint64_t j = 0; j < (uint64_t)made->blockEnd; ++j)
    for (uint64_t k = B.jc[j]; k < B.jc[j + 1]; ++k) made->blockEntriesOfB += B.ir[k] < (uint64_t)made->blockEnd;
  const size_t room = made->graph.C.pr.size() + B.pr.size();
  made->jc.resize(kGraphNodes + 1);
  made->ir.resize(room);
  made->pr.resize(room);
  std::mt19937_64 random(3);
  made->logical.resize(kListedNodes * kAttributes);
  for (uint8_t& byte : made->logical) byte = random() % 10 == 0;
  made->numeric.resize(kListedNodes * kAttributes);
  for (double& value : made->numeric) value = random() % 10 == 0;
  for (uint64_t k = 1; k <= kListedNodes; ++k) made->list.push_back((double)k);
  made->copyFrom.assign(64 << 20, 1);
  made->copyTo.assign(64 << 20, 0);
  return *made;
}

// Output buffers are shared: the comparisons run one after another.
Inputs& output() { return const_cast<Inputs&>(inputs()); }

// Bytes the streaming kernels must read and write: their inputs' jc, ir and pr, the degrees, the
// output's jc and the entries they store.
double graphBytes(double storedEntries) {
  const PlainSparse& C = inputs().graph.C;
  return 16.0 * (kGraphNodes + 1) + 16.0 * C.pr.size() + 8.0 * kGraphNodes + 16.0 * storedEntries;
}

void copyReference(benchmark::State& state) {
  Inputs& in = output();
  for (auto _ : state) {
    memcpy(in.copyTo.data(), in.copyFrom.data(), in.copyFrom.size());
    benchmark::ClobberMemory();
  }
  state.counters["bytes"] = 2.0 * in.copyFrom.size();
}

template <typename Merge>
void mergeGraphs(benchmark::State& state, Merge merge) {
  Inputs& in = output();
  const PlainSparse &A = in.graph.C, &B = in.other.C;
  for (auto _ : state) {
    merge(A.ir.data(), A.jc.data(), A.pr.data(), B.ir.data(), B.jc.data(), B.pr.data(), kGraphNodes, in.blockEnd, 0.5,
          in.ir.data(), in.jc.data(), in.pr.data());
    benchmark::ClobberMemory();
  }
  // A whole, B inside the block, both jc, and the stored entries.
  state.counters["bytes"] = 16.0 * (A.pr.size() + in.blockEntriesOfB) + 16.0 * (kGraphNodes + 1) + 8.0 * (kGraphNodes + 1) +
                            16.0 * in.jc[kGraphNodes];
  state.counters["items"] = (double)(A.pr.size() + B.pr.size());
}

template <typename Normalise>
void normaliseGraph(benchmark::State& state, Normalise normalise, bool keepsAll) {
  Inputs& in = output();
  const PlainSparse& C = in.graph.C;
  for (auto _ : state) {
    normalise(C.ir.data(), C.jc.data(), C.pr.data(), in.graph.degrees.data(), in.ir.data(), in.jc.data(),
              in.pr.data());
    benchmark::ClobberMemory();
  }
  state.counters["bytes"] = graphBytes(keepsAll ? (double)C.pr.size() : (double)(in.jc[kGraphNodes] & 0xffffffffu));
  state.counters["items"] = (double)C.pr.size();
}

template <typename Similarity, typename Table>
void similarityOfListed(benchmark::State& state, Similarity similarity, const std::vector<Table>& table) {
  Inputs& in = output();
  const uint64_t room = 100 * kListedNodes;
  for (auto _ : state) {
    const uint64_t needed = similarity(table.data(), kListedNodes, kAttributes, 0.5, in.list.data(), kListedNodes,
                                       room, in.ir.data(), in.jc.data(), in.pr.data());
    if (needed > room) state.SkipWithError("the threshold keeps more pairs than the room holds");
    benchmark::ClobberMemory();
  }
  state.counters["items"] = (double)(kListedNodes * kListedNodes);
}

// Registers one comparison: `repetitions` runs of one pass each for slow kernels, else as many
// passes a run as Google Benchmark chooses.
template <typename Body>
void add(const std::string& name, Body body, int repetitions, bool onePass) {
  benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name.c_str(), body);
  b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(repetitions);
  if (onePass) b->Iterations(1);
}

// The views of the former kernels' arrays, for today's kernels.
MatrixView countsOver(const uint64_t* ir, const uint64_t* jc, const double* pr) {
  return MatrixView{kGraphNodes, kGraphNodes, pr, nullptr, ir, jc};
}
SparseView resultOver(uint64_t n, uint64_t* ir, uint64_t* jc, double* pr, uint64_t room) {
  return SparseView{n, n, pr, ir, jc, room};
}

// Today's kernels on `path`, called with the former kernels' arrays.
auto vostrelOn(CpuPath path) {
  return [path](const uint64_t* ir, const uint64_t* jc, const double* pr, const double* d, uint64_t* irS,
                uint64_t* jcS, double* prS) {
    divideByMinDegreeOnPath(path, countsOver(ir, jc, pr), d, resultOver(kGraphNodes, irS, jcS, prS, jc[kGraphNodes]));
  };
}
auto tessaly5On(CpuPath path) {
  return [path](const uint8_t* t, uint64_t n, uint64_t a, double th, const double* l, uint64_t k, uint64_t r,
                uint64_t* ir, uint64_t* jc, double* pr) {
    return tessaly5OnPath(path, MatrixView{a, n, nullptr, t, nullptr, nullptr}, NodeList{l, k}, th,
                          resultOver(n, ir, jc, pr, r));
  };
}
auto tessaly5aOn(CpuPath path) {
  return [path](const double* t, uint64_t n, uint64_t a, double th, const double* l, uint64_t k, uint64_t r,
                uint64_t* ir, uint64_t* jc, double* pr) {
    return tessaly5aOnPath(path, MatrixView{n, a, t, nullptr, nullptr, nullptr}, NodeList{l, k}, th,
                           resultOver(n, ir, jc, pr, r));
  };
}

void registerAll() {
  add("copy", copyReference, 5, false);
  add("corvane/former", [](benchmark::State& s) { mergeGraphs(s, former::corvane); }, 5, false);
  add("corvane/portable", [](benchmark::State& s) {
    mergeGraphs(s, [](const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB,
                      const uint64_t* jcB, const double* prB, uint64_t n, int64_t blockEnd, double w, uint64_t* irS,
                      uint64_t* jcS, double* prS) {
      corvane(countsOver(irA, jcA, prA), countsOver(irB, jcB, prB), blockEnd, w,
              resultOver(n, irS, jcS, prS, jcA[n] + jcB[n]));
    });
  }, 5, false);
  add("tessaly/former", [](benchmark::State& s) {
    normaliseGraph(s, [](const uint64_t* ir, const uint64_t* jc, const double* pr, const double* d, uint64_t* irS,
                         uint64_t* jcS, double* prS) { former::tessaly(ir, jc, pr, d, kGraphNodes, 0.05, irS, jcS, prS); },
                   false);
  }, 5, false);
  add("tessaly/portable", [](benchmark::State& s) {
    normaliseGraph(s, [](const uint64_t* ir, const uint64_t* jc, const double* pr, const double* d, uint64_t* irS,
                         uint64_t* jcS, double* prS) {
      tessaly(countsOver(ir, jc, pr), d, 0.05, resultOver(kGraphNodes, irS, jcS, prS, jc[kGraphNodes]));
    }, false);
  }, 5, false);
  add("Vostrel/former", [](benchmark::State& s) {
    normaliseGraph(s, [](const uint64_t* ir, const uint64_t* jc, const double* pr, const double* d, uint64_t* irS,
                         uint64_t* jcS, double* prS) { former::divideByMinDegree(ir, jc, pr, d, kGraphNodes, irS, jcS, prS); },
                   true);
  }, 5, false);
  add("tessaly5/former", [](benchmark::State& s) { similarityOfListed(s, former::tessaly5, inputs().logical); }, 3, true);
  add("tessaly5a/former", [](benchmark::State& s) { similarityOfListed(s, former::tessaly5a, inputs().numeric); }, 2, true);
  for (int each = 0; each < kCpuPathCount; ++each) {
    const CpuPath path = (CpuPath)each;
    const std::string on = std::string("/") + cpuPathName(path);
    if (kernelRunsPath(kDivideByMinDegreeKernel, path))
      add("Vostrel" + on, [=](benchmark::State& s) { normaliseGraph(s, vostrelOn(path), true); }, 5, false);
    if (kernelRunsPath(kTessaly5Kernel, path))
      add("tessaly5" + on, [=](benchmark::State& s) { similarityOfListed(s, tessaly5On(path), inputs().logical); },
          3, true);
    if (kernelRunsPath(kTessaly5aKernel, path))
      add("tessaly5a" + on, [=](benchmark::State& s) { similarityOfListed(s, tessaly5aOn(path), inputs().numeric); },
          path == kPortablePath ? 2 : 3, true);
  }
}

// One row of the ratio table: the time, the rate, the speed against the former kernel and, for the
// streaming kernels, the bytes they must move as a share of the copy bandwidth.
void printRow(const FastestRuns& runs, const std::string& name, double copyRate) {
  const auto found = runs.fastest.find(name);
  if (found == runs.fastest.end()) return;
  const std::string kernel = name.substr(0, name.find('/'));
  const auto former = runs.fastest.find(kernel + "/former");
  const FastestRuns::Fastest& run = found->second;
  const auto items = run.counters.find("items"), bytes = run.counters.find("bytes");
  printf("%-20s %10.2f ms", name.c_str(), run.seconds * 1e3);
  if (items != run.counters.end())
    printf(" %9.1f M/s", items->second / run.seconds / 1e6);
  else
    printf(" %13s", "");
  if (former != runs.fastest.end()) printf(" %8.2fx", former->second.seconds / run.seconds);
  if (bytes != run.counters.end() && copyRate > 0) printf(" %8.0f%% of copy", 100.0 * bytes->second / run.seconds / copyRate);
  printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  registerAll();
  FastestRuns runs;
  benchmark::RunSpecifiedBenchmarks(&runs);
  const auto copy = runs.fastest.find("copy");
  const double copyRate = copy == runs.fastest.end() ? 0 : copy->second.counters["bytes"] / copy->second.seconds;
  printf("\nFastest repetition of each, in processor time; M/s are entries read (merge: of A and B) or pairs.\n");
  printf("Copy bandwidth (bytes read + written): %.1f GB/s. Widest path here: %s.\n", copyRate / 1e9,
         cpuPathName(widestPathOf(kAttributePairsKernel)));
  printf("%-20s %13s %13s %9s %s\n", "kernel/path", "time", "rate", "vs former", " bytes moved");
  const char* order[] = {"corvane", "tessaly", "Vostrel", "tessaly5", "tessaly5a"};
  for (const char* kernel : order) {
    printRow(runs, std::string(kernel) + "/former", copyRate);
    for (int path = 0; path < kCpuPathCount; ++path)
      printRow(runs, std::string(kernel) + "/" + cpuPathName((CpuPath)path), copyRate);
  }
  benchmark::Shutdown();
  return 0;
}
