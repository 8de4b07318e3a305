// The pattern of G's edges by rows, whether it is symmetric, and what each node brings to a pair.
// P(r,k) = 1 where G(r,k) is an edge: stored and not 0 (NaN is an edge); row r of P holds its
// columns k ascending, and for a weighted measure w(r,k) = G(r,k). The degree d(r) = sum_k P(r,k)
// counts the edges out of r; a weighted measure's number of r is s(r) = sum_k w(r,k) or
// |w(r,:)| = sqrt(sum_k w(r,k)^2). G is symmetric when P = P', with w = w' for a weighted measure.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"
#include "neighbors/neighbor_measures.h"

// Whose neighbours two nodes share, with P the pattern of G's edges.
enum NeighborDirection {
  kPaths,     // C = P * P: the k with r -> k -> j; on a symmetric G every direction gives this
  kOutgoing,  // C = P * P': common successors, r -> k <- j (bibliographic coupling), out-degrees
  kIncoming,  // C = P' * P: common predecessors, r <- k -> j (co-citation), in-degrees
  kBoth,      // C = U * U, U the pattern of P + P' (weights of G + G.'): direction ignored
};

// The rows of P with 32-bit positions: row r holds the columns of its edges, ascending,
// columns[starts[r]] up to columns[starts[r+1]-1], and for a weighted measure their weights.
struct RowPattern {
  int32_t n;
  int32_t* starts;
  int32_t* columns;
  double* weights;
};

// Counts each node's edges out, the edges of its row of G, into `degrees` (n, zeroed); returns
// all the edges.
int32_t countDegrees(const MatrixView& G, int32_t* degrees);

// The rows of P, with their weights when `weighted`, from the degrees: `workers` workers each
// place the edges of its own rows, of about the same count.
RowPattern rowPatternOf(const char* word, const MatrixView& G, const int32_t* degrees, bool weighted, int32_t workers);

// The rows of P', the columns of G: row k holds the rows r of the edges r -> k into k, ascending,
// and their weights when `weighted`; `workers` workers each take a slice of the columns.
RowPattern columnPatternOf(const char* word, const MatrixView& G, bool weighted, int32_t workers);

// The rows of the pattern of P + P', direction ignored: row r holds every k with an edge r -> k or
// k -> r, ascending, and, when `weighted`, the weight G(r,k) + G(k,r) of each (an edge that is
// missing counts 0), as G + G.' holds it; `workers` workers each take a slice of the rows.
RowPattern unionPatternOf(const char* word, const RowPattern& P, const RowPattern& T, bool weighted, int32_t workers);

// Whether P's rows equal G's columns (rows ascending in both), with the same weights where there
// are weights: P is symmetric. `workers` workers each compare a slice of the columns.
bool isSymmetric(const MatrixView& G, const RowPattern& P, int32_t workers);

// The entries of each row of a pattern into `counts` (n of them).
void rowCounts(const RowPattern& P, int32_t* counts);

// Each node's number for a weighted measure: s(r), or |w(r,:)|; null for a measure of degrees,
// which are the numbers themselves.
double* nodeNumbers(const char* word, NodeNumber number, const RowPattern& P);

// What each node k adds to a pair's sum as a common neighbour: 1 / log(d(k)), 0 for a degree of 1
// (Adamic-Adar), or 1 / d(k) (resource allocation); null for the other sums.
double* middleWeightsOf(const char* word, NeighborSum sum, const int32_t* degrees, int32_t n);

// Frees the rows of P.
void releasePattern(RowPattern& P);

// The patterns of a direction, C = A * B: A, whose rows are the result's; B, whose rows its
// neighbours reach; B's columns as rows (Bt, for the values of listed pairs); the edges a pair must
// not be for non-edges only (G's own for the paths, those of either direction otherwise); and
// the patterns they are made of: P, G's rows; T, G's columns; U, their union.
struct DirectedPatterns {
  RowPattern P, T, U;
  const RowPattern* A;
  const RowPattern* B;
  const RowPattern* Bt;
  const RowPattern* edges;
};

// The patterns of `direction` for G, with weights when `weighted`; P, G's rows, already made (by
// rowPatternOf). Bt is made only `byColumns` (P's transpose serves it for the paths). `workers`
// workers share the work of each.
void directedPatternsOf(const char* word, const MatrixView& G, NeighborDirection direction, bool weighted,
                        bool byColumns, DirectedPatterns& patterns, int32_t workers);

// Frees the patterns made for a direction, P too.
void releaseDirectedPatterns(DirectedPatterns& patterns);
