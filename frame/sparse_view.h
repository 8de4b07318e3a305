// The views of host matrices shared by every kernel, and the index-width rule.
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

// Its read-only twin, for inputs: an m-by-n host matrix, sparse as above when jc is set, else
// full (column-major). Its values are doubles in pr or, for a logical array, bytes in logicals
// (0 false, anything else true); a view holds one of the two, or neither for an input whose
// values a module does not read.
struct MatrixView {
  uint64_t m;
  uint64_t n;
  const double* pr;
  const uint8_t* logicals;
  const uint64_t* ir;
  const uint64_t* jc;
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
