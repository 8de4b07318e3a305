// What the kernel and plug-in tests share: calling a plug-in built for the test host, and inputs
// whose sizes or counts are too large to hold, for the gateways' limits.
#pragma once

#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/runner/plugin.h"

// Calls the test-host plug-in `word` with `nlhs` outputs asked for; destroys the inputs.
PluginCall callPlugin(const std::string& word, const std::vector<mxArray*>& inputs, int nlhs = 1);

// Appends `column` (values and their rows in ascending rows, NaN among them only when topK is 0)
// to S as its next column: every value when topK is 0, else the topK largest, ties to the smaller
// row, in ascending rows.
void appendColumn(PlainSparse& S, std::vector<std::pair<double, size_t>> column, size_t topK);

// The rounds a random test runs: `rounds`, or one in 40 of them (at least one) where the tests run
// under an emulator (TESTS_UNDER_EMULATOR set), as qemu-user keeps some 280 KiB for every thread a
// program has started and the threaded tests start a hundred thousand.
int roundsHere(int rounds);

// An m-by-n sparse matrix whose column starts claim `stored` entries in its last column, with
// nothing behind them: only a gateway's checks may look at it.
mxArray* sparseClaiming(size_t m, size_t n, uint64_t stored);

// n+1 zero column starts in memory the system only reserves, so that a sparse matrix of any size
// up to n columns that stores nothing can be handed to a gateway (Linux only; `jc` is null where
// the memory could not be reserved).
struct ReservedColumnStarts {
  explicit ReservedColumnStarts(size_t n);
  ~ReservedColumnStarts();
  ReservedColumnStarts(const ReservedColumnStarts&) = delete;
  ReservedColumnStarts& operator=(const ReservedColumnStarts&) = delete;
  // An m-by-n sparse matrix over these column starts, storing nothing.
  mxArray* matrix(size_t m, size_t n) const { return testhostSparseOver(m, n, jc); }
  const uint64_t* jc = nullptr;
  size_t bytes = 0;
};
