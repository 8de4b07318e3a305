#include "fuzz/support/fuzz_values.h"

#include <math.h>

Random randomFrom(FuzzedDataProvider& in) { return Random{in.ConsumeIntegral<uint64_t>()}; }

double someValue(FuzzedDataProvider& in) {
  static const double kBoundaries[] = {
      0.0, -0.0, 1.0, 2.0, 0.5, -1.0, 2.9, 1.0 / 3.0, NAN, INFINITY, -INFINITY, 1e308, -1e308, 5e-324,
      2147483647.0, 2147483648.0, 2147483649.0, -2147483648.0, -2147483649.0, 9223372036854775808.0,
      18446744073709551616.0, 4294967296.0, 1e15, 0.25, 3.0, -0.5};
  const unsigned kind = in.ConsumeIntegralInRange<unsigned>(0, 7);
  if (kind < 4) return kBoundaries[in.ConsumeIntegralInRange<size_t>(0, sizeof kBoundaries / sizeof *kBoundaries - 1)];
  if (kind < 6) return in.ConsumeIntegralInRange<int>(-3, 40);
  if (kind == 6) return in.ConsumeIntegralInRange<int>(0, 1000) / 1000.0;
  return in.ConsumeFloatingPoint<double>();
}

Palette somePalette(FuzzedDataProvider& in) {
  Palette palette;
  const size_t count = in.ConsumeIntegralInRange<size_t>(1, 4);
  for (size_t k = 0; k < 4; ++k) palette.values[k] = k < count ? someValue(in) : palette.values[k % count];
  return palette;
}

uint8_t someByte(Random& random) {
  const uint64_t pick = random.below(8);
  return pick < 4 ? 0 : pick < 7 ? 1 : (uint8_t)(2 + random.below(254));
}

double someThreshold(FuzzedDataProvider& in) {
  static const double kThresholds[] = {-1.0, 0.0, 1.0 / 3.0, 0.5, 2.0 / 3.0, 1.0, NAN, -INFINITY, INFINITY, 0.25};
  if (in.ConsumeBool()) return kThresholds[in.ConsumeIntegralInRange<size_t>(0, 9)];
  return someValue(in);
}

std::vector<double> ascendingNodes(Random& random, uint64_t numNodes, uint64_t count) {
  static const double kFractions[] = {0.0, 0.0, 0.5, 0.999};
  std::vector<double> list;
  for (uint64_t v = 1; v <= numNodes && list.size() < count; ++v) {
    // Take v when the nodes left must all be taken, or by chance.
    const uint64_t wanted = count - list.size(), left = numNodes - v + 1;
    if (wanted < left && random.below(left) >= wanted) continue;
    list.push_back((double)v + kFractions[random.below(4)]);
  }
  return list;
}

// The rows of one column: each row with probability density/256, skipping ahead over rows not
// taken so that a column of 2^31 rows costs no more than a short one.
static void addColumn(Random& random, uint64_t m, unsigned density, size_t mostStored, SparsePattern& pattern) {
  if (density == 0) return;
  const uint64_t gap = 256 / density;
  for (uint64_t row = random.below(gap); row < m && pattern.ir.size() < mostStored; row += 1 + random.below(2 * gap))
    pattern.ir.push_back(row);
}

SparsePattern somePattern(Random& random, uint64_t m, uint64_t n, unsigned density, bool symmetric,
                          size_t mostStored) {
  SparsePattern pattern;
  pattern.jc.push_back(0);
  if (!(symmetric && m == n && n <= 256)) {
    for (uint64_t j = 0; j < n; ++j) {
      addColumn(random, m, density, mostStored, pattern);
      pattern.jc.push_back(pattern.ir.size());
    }
    return pattern;
  }
  std::vector<char> edge(n * n, 0);
  for (uint64_t j = 0; j < n; ++j)
    for (uint64_t r = 0; r <= j; ++r) edge[r * n + j] = edge[j * n + r] = random.below(256) < density;
  for (uint64_t j = 0; j < n; ++j) {
    for (uint64_t r = 0; r < n; ++r)
      if (edge[r * n + j] && pattern.ir.size() < mostStored) pattern.ir.push_back(r);
    pattern.jc.push_back(pattern.ir.size());
  }
  return pattern;
}
