// The inner loop of the attribute similarities on each CPU path: the attributes one listed node
// shares with a range of rows, and the rows whose similarity passes the threshold.
#pragma once

#include <stdint.h>

#include "frame/cpu_paths.h"

// A measure of two nodes' attributes from a, the attributes both hold, the counts each holds
// (a + b and a + c) and n, the attributes of the table.
enum AttributeMeasure {
  kJaccardOfAttributes,  // a / (a + b + c)
  kDiceOfAttributes,     // 2a / (2a + b + c)
  kCosineOfAttributes,   // a / sqrt((a + b)(a + c))
  kOverlapOfAttributes,  // a / min(a + b, a + c)
  kSimpleMatching,       // (n - b - c) / n
};

// The measure's value for two different nodes, from their counts in doubles; 0 where its
// denominator is 0. Whole counts below 2^53 are exact as doubles.
double attributeValue(AttributeMeasure measure, uint32_t shared, uint32_t heldP, uint32_t heldQ, uint64_t numAttrs);

// A stored entry of the result's lower half: a row's list position and the attributes it shares
// with its column.
struct SimilarRow {
  uint32_t row;
  uint32_t shared;
};

// What a search for similar rows needs: the bit sets and counts packAttributes makes, the measure,
// the threshold and whether a node's pair with itself (of value 1) is kept.
struct RowSearch {
  CpuPath path;
  AttributeMeasure measure;
  const uint64_t* bits;
  const uint32_t* held;
  uint64_t words, numAttrs;
  double threshold;
  bool self;
  // With top values: per list position (paddedRows of them), the least value that still enters
  // its column's top values (+Inf where it is no column). A row is then kept only when its value
  // also reaches the lesser of its own and the searching column's: no other can enter either.
  const double* bars = nullptr;
};

// Writes to `rows` list position `column` itself when `self`, it lies from `from` up to, not
// including, `end` and 1 is above the threshold; then, in list order, every other row q from
// `from` up to `end` whose value with it is strictly above the threshold (and reaches
// min(bars[column], bars[q]) with bars); returns how many. `rows`
// has room for every row from `from` to `end` and kInterleavedRows more.
uint64_t similarRows(const RowSearch& search, uint64_t column, uint64_t from, uint64_t end, SimilarRow* rows);
