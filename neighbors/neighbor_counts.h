// Counting one row of C = A * B: C(r,j) = sum_k A(r,k) B(k,j), the common neighbours k of r and j
// (A and B the patterns of the direction asked: P * P for the paths r -> k -> j, P * P' for
// common successors, P' * P for common predecessors), or the measure's sum over them instead of a
// count: sum_k 1/log d(k) (Adamic-Adar), sum_k 1/d(k) (resource allocation), with d(k) the entries
// of B's row k, sum_k min(a(r,k), b(k,j)) (weighted Jaccard and Dice) or sum_k a(r,k) b(k,j)
// (G * G), a and b the weights of A and B, each added over k in ascending order. Where C is
// symmetric (B the transpose of A) only the columns j >= r are counted; with result columns of
// its own, a row walks only what it needs.
#pragma once

#include <stdint.h>

#include "frame/pair_results.h"
#include "neighbors/neighbor_measures.h"
#include "neighbors/neighbor_pattern.h"

// What every worker reads to count a row: the patterns and what the request asks of the counting.
struct CountingPlan {
  const RowPattern* A;      // the rows of the result: each row r's neighbours k
  const RowPattern* B;      // each neighbour k's row: the columns j it reaches
  const RowPattern* edges;  // G's edges by rows, for non-edges only
  NeighborSum sum;
  bool symmetric;               // C is symmetric: B is the transpose of A
  ResultColumns columns;        // the result's column of each node
  const double* middleWeights;  // per node k: what it adds as a common neighbour (Adamic-Adar, resource allocation)
  int32_t* sliceStart;          // with result columns: per row of B, the first position at or after the first of them
  int32_t* sliceEnd;            // ... and the first position after the last of them
  int32_t* placeInB;            // per entry (r, k) of A, r's place in row k of B, when rows are counted in any order
};

// One worker's workspace for counting rows, which come in ascending order unless the plan lets them
// come in any: a count (or a sum, -1 until reached) of every column, the columns the current row
// reached, the first position of each row of B not below the current row (symmetric C), and the
// current row of each column that is one of its edges (for non-edges only).
struct RowCounts {
  int32_t* shared;
  double* sums;
  int32_t* reached;
  int32_t* firstFrom;
  int32_t* edgeOf;
};

// The plan of counting the rows of A * B for `sum`, with the slice of positions of each row of B
// that lies within the result's first and last columns when it has columns of its own.
CountingPlan countingPlanOf(const char* word, const RowPattern& A, const RowPattern& B, const RowPattern& edges,
                            NeighborSum sum, bool symmetric, const ResultColumns& columns, const PairRequest& request,
                            const double* middleWeights);

// Frees what the plan holds of its own (the slices, the places in B).
void releaseCountingPlan(CountingPlan& plan);

// Lets the rows of a symmetric C be counted in any order, not only ascending: each walk then starts
// at the row's own place in B, which the plan keeps for every entry of A.
void countInAnyOrder(const char* word, CountingPlan& plan);

// One worker's workspace, marking the edges of each row when `nonEdges`.
RowCounts startRowCounts(const char* word, const CountingPlan& plan, bool nonEdges);
void releaseRowCounts(RowCounts& counts);

// The products before each of `rowCount` result rows, rowCount + 1 of them: the counts a pass adds
// up to that row, one for each column its walks reach through each of its neighbours. The rows
// are the nodes `rowNodes`, in the order they are counted (every node of A in order when null),
// walked whole unless C is symmetric.
uint64_t* productsBeforeRows(const char* word, const CountingPlan& plan, const int32_t* rowNodes, int32_t rowCount);

// The products of a pass over every column, as productsBeforeRows sums them: where C is symmetric
// d(d+1)/2 through a row of B of d entries, else the entries of B's row k for every entry (r, k)
// of A.
uint64_t wholeProducts(const CountingPlan& plan);

// Counts row r into `counts`: every column j it reaches through an entry (r, k) of A and (k, j)
// of B within its walks, k ascending, listed in counts.reached the first time; returns how many
// were listed. Marks row r's edges in counts.edgeOf where it marks them.
int32_t countRow(const CountingPlan& plan, int32_t r, RowCounts& counts);

// Clears the counts of the `reached` columns counts.reached lists, for a row whose pairs are not kept.
void clearRow(RowCounts& counts, int32_t reached);
