// The neighbourhood measures: how each common neighbour k of nodes r and j adds to the pair's sum,
// and the pair's value from that sum and a number of each of the two nodes.
#pragma once

#include <stdint.h>

// What a common neighbour k of r and j, on paths r -> k -> j, adds to the pair's sum.
enum NeighborSum {
  kSharedCount,         // 1: the sum is c, the number of common neighbours
  kInverseLogDegree,    // 1 / log(d(k)), 0 where d(k) is 1 (Adamic-Adar)
  kInverseDegree,       // 1 / d(k) (resource allocation)
  kSmallerWeight,       // min(w(r,k), w(k,j)), G's values
  kWeightProduct,       // w(r,k) * w(k,j), so that the sums are G * G
};

// The number of each node a measure's value uses.
enum NodeNumber {
  kEdgesOut,     // d: its edges out, the nonzero entries of its row of G
  kWeightTotal,  // s: the sum of its row of G
  kWeightNorm,   // the square root of the sum of its row of G squared
  kWeightSquares,  // the sum of its row squared, its norm squared
};

// What a measure of counted neighbours tells of the common neighbours c a pair of degrees a and b
// needs for a value above a threshold t, for the pass that skips pairs that cannot pass.
enum SharedBound {
  kNoBound,            // nothing: every pair sharing a neighbour is counted
  kJaccardBound,       // c > t (a + b) / (1 + t), and the degrees within a factor t
  kDiceBound,          // c > t (a + b) / 2, the smaller degree above t / (2 - t) of the larger
  kCosineBound,        // c > t sqrt(a b), the smaller degree above t^2 of the larger
  kOverlapBound,       // c > t min(a, b)
  kLargerDegreeBound,  // c > t max(a, b), the degrees within a factor t (hub depressed)
};

// The value of a pair from its sum and the numbers of its row node r and column node j. A pair is
// kept when its value is strictly above a threshold, so a NaN is never kept.
typedef double (*NeighborValue)(double sum, double rowNumber, double columnNumber);

// One measure, as a caller names it.
struct NeighborMeasure {
  const char* name;
  bool weighted;  // from G's values rather than its pattern alone
  NeighborSum sum;
  NodeNumber number;
  NeighborValue valueOf;
  SharedBound bound;
};

// The common neighbours a pair of degrees a and b must share more than, for a value above t.
double sharedAbove(SharedBound bound, double threshold, double a, double b);

// The least degree b <= a of a partner whose pair with a node of degree a can be above t.
double leastPartnerDegree(SharedBound bound, double threshold, double a);

// The measure of `name` (any case) and weighting, or null when there is none: every measure
// unweighted, and jaccard, dice, cosine and common weighted.
const NeighborMeasure* neighborMeasureNamed(const char* name, bool weighted);

// Whether some measure has the name `name` (any case), weighted or not.
bool isNeighborMeasure(const char* name);

// The names of the measures, for messages: "jaccard, overlap, ...".
extern const char kNeighborMeasureNames[];

// The weighted measure of `name` (any case) over the attributes of a table, or null: jaccard,
// dice and overlap of the sums of the smaller values, and cosine, the dot product over the square
// root of the product of the two squared norms, which makes a node's value with itself exactly 1.
const NeighborMeasure* weightedAttributeMeasureNamed(const char* name);

// Whether the measure's values are its sums themselves (common neighbours, Adamic-Adar, resource
// allocation, G * G) rather than sums over what the nodes hold.
bool valuesAreSums(const NeighborMeasure& measure);

// The Jaccard and overlap measures of neighborJaccard and neighborOverlap.
const NeighborMeasure& neighborJaccardMeasure();
const NeighborMeasure& neighborOverlapMeasure();

// The natural logarithm of x >= 1, correctly rounded but in cases too close to a halfway point to
// matter: without the C library, which the plug-ins do not link.
double naturalLog(double x);
