#include "neighbors/neighbor_pattern.h"

#include "frame/host.h"
#include "frame/portable.h"
#include "frame/threads.h"
#include "frame/work_slices.h"
#include "frame/workspace.h"

// Whether stored entry k of G is an edge: a value that is not 0, NaN included.
static bool isEdge(const MatrixView& G, int32_t k) { return G.pr ? G.pr[k] != 0.0 : G.logicals[k] != 0; }

// The weight of stored entry k of G: its value, or 1 for a logical G.
static double weightOf(const MatrixView& G, int32_t k) { return G.pr ? G.pr[k] : 1.0; }

int32_t countDegrees(const MatrixView& G, int32_t* degrees) {
  int32_t edges = 0;
  const int32_t stored = low32(G.jc[G.n]);
  for (int32_t k = 0; k < stored; ++k) {
    if (!isEdge(G, k)) continue;
    ++degrees[low32(G.ir[k])];
    ++edges;
  }
  return edges;
}

// Places the edges of G whose rows lie from firstRow to pastRow-1 into their rows of P, in the
// order of G's columns, so that each row's columns ascend; next[r] is where row r's next goes.
static void placeRows(const MatrixView& G, const RowPattern& P, int32_t firstRow, int32_t pastRow, int32_t* next) {
  for (int32_t j = 0; j < P.n; ++j) {
    const int32_t end = low32(G.jc[j + 1]);
    for (int32_t k = low32(G.jc[j]); k < end; ++k) {
      const int32_t r = low32(G.ir[k]);
      if (r < firstRow || r >= pastRow || !isEdge(G, k)) continue;
      const int32_t at = next[r]++;
      P.columns[at] = j;
      if (P.weights) P.weights[at] = weightOf(G, k);
    }
  }
}

RowPattern rowPatternOf(const char* word, const MatrixView& G, const int32_t* degrees, bool weighted, int32_t workers) {
  const int32_t n = (int32_t)G.n;
  RowPattern P = {n, workspaceOf<int32_t>(word, (uint64_t)n + 1), 0, 0};
  P.starts[0] = 0;
  for (int32_t r = 0; r < n; ++r) P.starts[r + 1] = P.starts[r] + degrees[r];
  P.columns = workspaceOf<int32_t>(word, (uint64_t)P.starts[n]);
  P.weights = weighted ? workspaceOf<double>(word, (uint64_t)P.starts[n]) : 0;
  int32_t* next = workspaceOf<int32_t>(word, (uint64_t)n + 1);
  for (int32_t r = 0; r < n; ++r) next[r] = P.starts[r];
  // Each worker reads all of G and places the edges of its own rows, of about as many edges as
  // every other's: no two write one place.
  int32_t rows[kMostThreads + 1];
  const int32_t* starts = P.starts;
  sliceByCost([starts](int32_t r) { return (uint64_t)starts[r] + (uint64_t)r; }, 0, n, workers, rows);
  auto place = [&](int32_t worker) { placeRows(G, P, rows[worker], rows[worker + 1], next); };
  runEachWorker(place, workers);
  mxFree(next);
  return P;
}

RowPattern columnPatternOf(const char* word, const MatrixView& G, bool weighted, int32_t workers) {
  const int32_t n = (int32_t)G.n;
  RowPattern T = {n, workspaceOf<int32_t>(word, (uint64_t)n + 1), 0, 0};
  T.starts[0] = 0;
  for (int32_t j = 0; j < n; ++j) {
    int32_t edges = 0;
    for (int32_t k = low32(G.jc[j]); k < low32(G.jc[j + 1]); ++k) edges += isEdge(G, k);
    T.starts[j + 1] = T.starts[j] + edges;
  }
  T.columns = workspaceOf<int32_t>(word, (uint64_t)T.starts[n] + 1);
  T.weights = weighted ? workspaceOf<double>(word, (uint64_t)T.starts[n] + 1) : 0;
  int32_t slices[kMostThreads + 1];
  const int32_t* starts = T.starts;
  sliceByCost([starts](int32_t j) { return (uint64_t)starts[j] + (uint64_t)j; }, 0, n, workers, slices);
  auto copy = [&](int32_t worker) {
    for (int32_t j = slices[worker]; j < slices[worker + 1]; ++j) {
      int32_t at = T.starts[j];
      for (int32_t k = low32(G.jc[j]); k < low32(G.jc[j + 1]); ++k) {
        if (!isEdge(G, k)) continue;
        T.columns[at] = low32(G.ir[k]);
        if (T.weights) T.weights[at] = weightOf(G, k);
        ++at;
      }
    }
  };
  runEachWorker(copy, workers);
  return T;
}

// Merges row r of P and of T (both ascending) into `columns` and, when given, `weights`; returns
// the entries of the union. With `columns` null it only counts them.
static int32_t mergeRows(const RowPattern& P, const RowPattern& T, int32_t r, int32_t* columns, double* weights) {
  int32_t p = P.starts[r], t = T.starts[r], count = 0;
  const int32_t pEnd = P.starts[r + 1], tEnd = T.starts[r + 1];
  while (p < pEnd || t < tEnd) {
    const int32_t fromP = p < pEnd ? P.columns[p] : INT32_MAX, fromT = t < tEnd ? T.columns[t] : INT32_MAX;
    const int32_t k = fromP < fromT ? fromP : fromT;
    double weight = 0.0;
    if (fromP == k) {
      if (P.weights) weight += P.weights[p];
      ++p;
    }
    if (fromT == k) {
      if (T.weights) weight += T.weights[t];
      ++t;
    }
    if (columns) columns[count] = k;
    if (weights) weights[count] = weight;
    ++count;
  }
  return count;
}

RowPattern unionPatternOf(const char* word, const RowPattern& P, const RowPattern& T, bool weighted, int32_t workers) {
  const int32_t n = P.n;
  RowPattern U = {n, workspaceOf<int32_t>(word, (uint64_t)n + 1), 0, 0};
  U.starts[0] = 0;
  for (int32_t r = 0; r < n; ++r) U.starts[r + 1] = U.starts[r] + mergeRows(P, T, r, 0, 0);
  U.columns = workspaceOf<int32_t>(word, (uint64_t)U.starts[n] + 1);
  U.weights = weighted ? workspaceOf<double>(word, (uint64_t)U.starts[n] + 1) : 0;
  int32_t slices[kMostThreads + 1];
  const int32_t* starts = U.starts;
  sliceByCost([starts](int32_t r) { return (uint64_t)starts[r] + (uint64_t)r; }, 0, n, workers, slices);
  auto merge = [&](int32_t worker) {
    for (int32_t r = slices[worker]; r < slices[worker + 1]; ++r)
      mergeRows(P, T, r, U.columns + U.starts[r], U.weights ? U.weights + U.starts[r] : 0);
  };
  runEachWorker(merge, workers);
  return U;
}

void rowCounts(const RowPattern& P, int32_t* counts) {
  for (int32_t r = 0; r < P.n; ++r) counts[r] = P.starts[r + 1] - P.starts[r];
}

// Whether columns firstColumn to pastColumn-1 of G equal those rows of P, weights included.
static bool columnsMirrored(const MatrixView& G, const RowPattern& P, int32_t firstColumn, int32_t pastColumn) {
  for (int32_t j = firstColumn; j < pastColumn; ++j) {
    int32_t p = P.starts[j];
    const int32_t end = low32(G.jc[j + 1]);
    for (int32_t k = low32(G.jc[j]); k < end; ++k) {
      if (!isEdge(G, k)) continue;
      if (p == P.starts[j + 1] || P.columns[p] != low32(G.ir[k])) return false;
      if (P.weights && P.weights[p] != weightOf(G, k)) return false;
      ++p;
    }
    if (p != P.starts[j + 1]) return false;
  }
  return true;
}

bool isSymmetric(const MatrixView& G, const RowPattern& P, int32_t workers) {
  int32_t columns[kMostThreads + 1];
  bool mirrored[kMostThreads];
  const uint64_t* jc = G.jc;
  sliceByCost([jc](int32_t j) { return (uint64_t)low32(jc[j]) + (uint64_t)j; }, 0, P.n, workers, columns);
  auto compare = [&](int32_t worker) { mirrored[worker] = columnsMirrored(G, P, columns[worker], columns[worker + 1]); };
  runEachWorker(compare, workers);
  bool symmetric = true;
  for (int32_t w = 0; w < workers; ++w) symmetric &= mirrored[w];
  return symmetric;
}

double* nodeNumbers(const char* word, NodeNumber number, const RowPattern& P) {
  if (number == kEdgesOut) return 0;
  double* numbers = workspaceOf<double>(word, (uint64_t)P.n);
  for (int32_t r = 0; r < P.n; ++r) {
    double total = 0.0;
    const bool squares = number == kWeightNorm || number == kWeightSquares;
    for (int32_t p = P.starts[r]; p < P.starts[r + 1]; ++p) total += squares ? P.weights[p] * P.weights[p] : P.weights[p];
    numbers[r] = number == kWeightNorm ? squareRoot(total) : total;
  }
  return numbers;
}

// Each distinct degree's logarithm is found once.
double* middleWeightsOf(const char* word, NeighborSum sum, const int32_t* degrees, int32_t n) {
  if (sum != kInverseLogDegree && sum != kInverseDegree) return 0;
  double* weights = workspaceOf<double>(word, (uint64_t)n);
  int32_t largest = 0;
  for (int32_t k = 0; k < n; ++k) largest = degrees[k] > largest ? degrees[k] : largest;
  double* byDegree = workspaceOf<double>(word, (uint64_t)largest + 1);
  for (int32_t d = 0; d <= largest; ++d) byDegree[d] = -1.0;
  for (int32_t k = 0; k < n; ++k) {
    double& weight = byDegree[degrees[k]];
    if (weight < 0.0)
      weight = sum == kInverseDegree ? 1.0 / (double)degrees[k] : degrees[k] > 1 ? 1.0 / naturalLog(degrees[k]) : 0.0;
    weights[k] = weight;
  }
  mxFree(byDegree);
  return weights;
}

void releasePattern(RowPattern& P) {
  mxFree(P.weights);
  mxFree(P.columns);
  mxFree(P.starts);
  P.weights = 0;
  P.columns = P.starts = 0;
}

void directedPatternsOf(const char* word, const MatrixView& G, NeighborDirection direction, bool weighted,
                        bool byColumns, DirectedPatterns& patterns, int32_t workers) {
  if (direction != kPaths || byColumns) patterns.T = columnPatternOf(word, G, weighted, workers);
  if (direction != kPaths) patterns.U = unionPatternOf(word, patterns.P, patterns.T, weighted, workers);
  const RowPattern* rows[] = {&patterns.P, &patterns.P, &patterns.T, &patterns.U};
  const RowPattern* reached[] = {&patterns.P, &patterns.T, &patterns.P, &patterns.U};
  const RowPattern* reachedByColumns[] = {&patterns.T, &patterns.P, &patterns.T, &patterns.U};
  patterns.A = rows[direction];
  patterns.B = reached[direction];
  patterns.Bt = reachedByColumns[direction];
  patterns.edges = direction == kPaths ? &patterns.P : &patterns.U;
}

void releaseDirectedPatterns(DirectedPatterns& patterns) {
  releasePattern(patterns.U);
  releasePattern(patterns.T);
  releasePattern(patterns.P);
}
