// The compressed-sparse-column view shared by every kernel, and the index-width rule.
#pragma once

#include <stdint.h>

// A host sparse double matrix: m-by-n, column j holding entries jc[j] to jc[j+1]-1,
// rows ascending within a column, jc[n] the number of stored entries; nzmax is the
// room of pr and ir (set for an output only).
struct SparseView {
  uint64_t m;
  uint64_t n;
  double* pr;
  uint64_t* ir;
  uint64_t* jc;
  uint64_t nzmax;
};

// The low 32 bits of a 64-bit jc or ir entry (or size), taken as a signed integer.
inline int32_t low32(uint64_t value) { return (int32_t)(uint32_t)value; }

// A 32-bit position or row written as a full 64-bit jc or ir entry, sign-extended.
inline uint64_t widen(int32_t index) { return (uint64_t)(int64_t)index; }

// A float truncated toward zero to a 32-bit integer, saturating: NaN gives 0, values beyond the
// 32-bit range give its nearest end. Used where a caller's number has no other defined meaning.
inline int32_t saturatingInt32(double value) {
  if (value != value) return 0;
  if (value <= -2147483648.0) return INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return (int32_t)value;
}

// The largest number of entries a result can hold: kernels count them in 32 bits.
const uint64_t kMaxEntries = 2147483647u;

// How a kernel reports progress: every `step` stored entries it prints `line`
// with the count divided by `unit`.
struct ProgressLine {
  int32_t step;
  int32_t unit;
  const char* line;
};

// Prints the progress line when a just-stored entry brings the count to a multiple of its step.
void reportProgress(const ProgressLine& progress, int32_t storedCount);
