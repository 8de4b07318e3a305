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

// Kernels hold positions, rows, columns and counts in 32-bit signed integers: they read every jc
// or ir entry by its low 32 bits and write every entry as a full 64-bit value.

// The low 32 bits of a 64-bit jc or ir entry (or size), taken as a signed integer.
inline int32_t low32(uint64_t value) { return (int32_t)(uint32_t)value; }

// A 32-bit position or row written as a full 64-bit jc or ir entry, sign-extended.
inline uint64_t widen(int32_t index) { return (uint64_t)(int64_t)index; }

// The largest number of entries a result can hold, and the largest size a kernel can index.
const uint64_t kMaxEntries = 2147483647u;

// Whether a size or count fits the kernels' 32-bit positions, rows and columns.
inline bool fitsIndexWidth(uint64_t count) { return count <= kMaxEntries; }
