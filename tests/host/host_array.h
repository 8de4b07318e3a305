// The host's arrays as the test host holds them: a class, a shape and plain blocks, each allocated
// at exactly the size its elements take, so that under AddressSanitizer a read or write one past
// any of them is an error. The fuzz targets make and read their inputs through this too.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "tests/host/testhost.h"

struct mxArray_tag {
  mxClassID classId;
  bool sparse, complex;
  size_t m, n;
  size_t dimensions;  // 2, or 3 for an array of pages (n counts the columns of every page)
  size_t nzmax;       // sparse: the room of ir and of the value blocks
  size_t elements;    // the elements of each value block: m * n when full, nzmax when sparse
  size_t guard;       // entries past the room, filled with a pattern: the test host's outputs only
  void* real;         // the values (or the cell and struct slots), of elementBytes(classId) each
  void* imag;         // complex only
  uint64_t* ir;       // sparse only: nzmax + guard rows
  uint64_t* jc;       // sparse only: n + 1 column starts
  bool lentJc;        // jc is a test's memory, not the host's (testhostSparseOver)
};

// The bytes of one element of a class: 8 for double, 1 for logical, 2 for char, and so on.
TESTHOST_API size_t elementBytes(mxClassID classId);

// The product of two sizes, or SIZE_MAX when it does not fit.
TESTHOST_API size_t sizeProduct(size_t a, size_t b);

// A new array with its blocks allocated exactly and zeroed; a sparse one gets `nzmax` room and n + 1
// column starts. Ends the process when the memory cannot be had. Freed by destroyHostArray.
TESTHOST_API mxArray* newHostArray(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t nzmax);
TESTHOST_API void destroyHostArray(mxArray* array);
