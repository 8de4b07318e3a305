#include "neighbors/neighbor_measures.h"

#include "frame/numbers.h"
#include "frame/portable.h"
#include "frame/text.h"

// Shared neighbours over the nodes in either, the degrees (or weights) added first; NaN, never
// kept, when no node is in either.
static double jaccardOf(double shared, double rowNumber, double columnNumber) {
  const double either = (rowNumber + columnNumber) - shared;
  return either > 0.0 ? shared / either : quietNaN();
}

// Shared neighbours over the smaller degree; +Inf when it is 0.
static double overlapOf(double shared, double rowNumber, double columnNumber) {
  return shared / (rowNumber < columnNumber ? rowNumber : columnNumber);
}

// Twice the shared neighbours (or weights) over the two degrees (or weight totals) together.
static double diceOf(double shared, double rowNumber, double columnNumber) {
  return 2.0 * shared / (rowNumber + columnNumber);
}

// Shared neighbours over the geometric mean of the degrees (or the product of the norms).
static double cosineOf(double shared, double rowNumber, double columnNumber) {
  return shared / squareRoot(rowNumber * columnNumber);
}

// Weighted cosine: the sum of products over the product of the two norms.
static double normedOf(double shared, double rowNumber, double columnNumber) {
  return shared / (rowNumber * columnNumber);
}

// Shared neighbours over the larger degree.
static double hubDepressedOf(double shared, double rowNumber, double columnNumber) {
  return shared / (rowNumber > columnNumber ? rowNumber : columnNumber);
}

// Shared neighbours over the product of the degrees (Leicht, Holme and Newman).
static double lhnOf(double shared, double rowNumber, double columnNumber) {
  return shared / (rowNumber * columnNumber);
}

// The sum itself: the count of common neighbours, their Adamic-Adar or resource-allocation
// weights, or the entry of G * G.
static double sumOf(double sum, double, double) { return sum; }

static const NeighborMeasure kMeasures[] = {
    {"jaccard", false, kSharedCount, kEdgesOut, jaccardOf, kJaccardBound},
    {"overlap", false, kSharedCount, kEdgesOut, overlapOf, kOverlapBound},
    {"dice", false, kSharedCount, kEdgesOut, diceOf, kDiceBound},
    {"cosine", false, kSharedCount, kEdgesOut, cosineOf, kCosineBound},
    {"hubDepressed", false, kSharedCount, kEdgesOut, hubDepressedOf, kLargerDegreeBound},
    {"lhn", false, kSharedCount, kEdgesOut, lhnOf, kNoBound},
    {"common", false, kSharedCount, kEdgesOut, sumOf, kNoBound},
    {"adamicAdar", false, kInverseLogDegree, kEdgesOut, sumOf, kNoBound},
    {"resourceAllocation", false, kInverseDegree, kEdgesOut, sumOf, kNoBound},
    {"jaccard", true, kSmallerWeight, kWeightTotal, jaccardOf, kNoBound},
    {"dice", true, kSmallerWeight, kWeightTotal, diceOf, kNoBound},
    {"cosine", true, kWeightProduct, kWeightNorm, normedOf, kNoBound},
    {"common", true, kWeightProduct, kWeightTotal, sumOf, kNoBound},
};

// The weighted measures of attribute tables: a table's column is a node's weights of its attributes.
static const NeighborMeasure kAttributeMeasures[] = {
    {"jaccard", true, kSmallerWeight, kWeightTotal, jaccardOf, kNoBound},
    {"dice", true, kSmallerWeight, kWeightTotal, diceOf, kNoBound},
    {"cosine", true, kWeightProduct, kWeightSquares, cosineOf, kNoBound},
    {"overlap", true, kSmallerWeight, kWeightTotal, overlapOf, kNoBound},
};

const NeighborMeasure* weightedAttributeMeasureNamed(const char* name) {
  for (const NeighborMeasure& measure : kAttributeMeasures)
    if (sameName(measure.name, name)) return &measure;
  return 0;
}

// Each bound follows from c <= min(a, b) and the measure's value exceeding t.
double sharedAbove(SharedBound bound, double threshold, double a, double b) {
  const double smaller = a < b ? a : b, larger = a < b ? b : a;
  switch (bound) {
    case kJaccardBound: return threshold * (a + b) / (1.0 + threshold);
    case kDiceBound: return threshold * (a + b) / 2.0;
    case kCosineBound: return threshold * squareRoot(a * b);
    case kOverlapBound: return threshold * smaller;
    case kLargerDegreeBound: return threshold * larger;
    case kNoBound: break;
  }
  return 0.0;
}

double leastPartnerDegree(SharedBound bound, double threshold, double a) {
  switch (bound) {
    case kJaccardBound:
    case kLargerDegreeBound: return threshold * a;
    case kDiceBound: return threshold * a / (2.0 - threshold);
    case kCosineBound: return threshold * threshold * a;
    case kOverlapBound:
    case kNoBound: break;
  }
  return 0.0;
}

const char kNeighborMeasureNames[] =
    "jaccard, overlap, dice, cosine, hubDepressed, lhn, common, adamicAdar, resourceAllocation";

const NeighborMeasure* neighborMeasureNamed(const char* name, bool weighted) {
  for (const NeighborMeasure& measure : kMeasures)
    if (measure.weighted == weighted && sameName(measure.name, name)) return &measure;
  return 0;
}

bool isNeighborMeasure(const char* name) { return neighborMeasureNamed(name, false) != 0; }

bool valuesAreSums(const NeighborMeasure& measure) { return measure.valueOf == sumOf; }

const NeighborMeasure& neighborJaccardMeasure() { return kMeasures[0]; }
const NeighborMeasure& neighborOverlapMeasure() { return kMeasures[1]; }

// A number with twice a double's precision: hi + lo, |lo| at most half an ulp of hi.
struct Wide {
  double hi, lo;
};

// a + b exactly, as a rounded sum and its error.
static Wide twoSum(double a, double b) {
  const double sum = a + b, part = sum - a;
  return Wide{sum, (a - (sum - part)) + (b - part)};
}

// a + b exactly where |a| >= |b|.
static Wide quickTwoSum(double a, double b) {
  const double sum = a + b;
  return Wide{sum, b - (sum - a)};
}

// a * b exactly, by splitting each into halves of 26 bits (no fused multiply-add is used).
static Wide twoProduct(double a, double b) {
  const double product = a * b, splitA = 134217729.0 * a, splitB = 134217729.0 * b;
  const double aHigh = splitA - (splitA - a), aLow = a - aHigh, bHigh = splitB - (splitB - b), bLow = b - bHigh;
  return Wide{product, ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
}

static Wide plus(Wide a, Wide b) {
  Wide sum = twoSum(a.hi, b.hi);
  const Wide low = twoSum(a.lo, b.lo);
  sum.lo += low.hi;
  sum = quickTwoSum(sum.hi, sum.lo);
  sum.lo += low.lo;
  return quickTwoSum(sum.hi, sum.lo);
}

static Wide times(Wide a, Wide b) {
  Wide product = twoProduct(a.hi, b.hi);
  product.lo += a.hi * b.lo + a.lo * b.hi;
  return quickTwoSum(product.hi, product.lo);
}

static Wide dividedBy(Wide a, Wide b) {
  const double first = a.hi / b.hi;
  Wide rest = plus(a, times(b, Wide{-first, 0.0}));
  const double second = rest.hi / b.hi;
  rest = plus(rest, times(b, Wide{-second, 0.0}));
  return plus(quickTwoSum(first, second), Wide{rest.hi / b.hi, 0.0});
}

// log(x) = e log 2 + log(m) for x = 2^e m, m within [sqrt(1/2), sqrt(2)], and log(m) = 2 atanh(t)
// for t = (m - 1) / (m + 1), |t| < 0.172, summed in twice a double's precision: 23 terms of the
// series leave an error below 2^-110.
double naturalLog(double x) {
  union {
    double value;
    uint64_t bits;
  } number = {x};
  int exponent = (int)((number.bits >> 52) & 0x7ff) - 1023;
  number.bits = (number.bits & ((UINT64_C(1) << 52) - 1)) | (UINT64_C(1023) << 52);
  double m = number.value;
  if (m > 1.4142135623730951) m *= 0.5, ++exponent;
  const Wide t = dividedBy(Wide{m - 1.0, 0.0}, twoSum(m, 1.0)), tSquared = times(t, t);
  Wide series = {0.0, 0.0};
  for (int k = 22; k >= 0; --k) series = plus(dividedBy(Wide{1.0, 0.0}, Wide{2.0 * k + 1.0, 0.0}), times(tSquared, series));
  const Wide logOf2 = {0.6931471805599453, 2.3190468138462996e-17};
  const Wide result = plus(times(logOf2, Wide{(double)exponent, 0.0}), times(Wide{2.0 * t.hi, 2.0 * t.lo}, series));
  return result.hi + result.lo;
}
