// The test host's arrays: exact blocks, the constructors tests use, and the outputs plug-ins create.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/host/host_state.h"

namespace {

// The pattern of a guard entry past an output's room.
const uint64_t kGuardIndex = UINT64_C(0x5a5a5a5a5a5a5a5a);
const double kGuardValue = -123456.789;

// A block of exactly `bytes` bytes, zeroed; ends the process when the memory cannot be had.
void* exactBlock(size_t bytes) {
  void* block = tryExactBlock(bytes, true);
  if (block) return block;
  fprintf(stderr, "testhost: cannot allocate %zu bytes for an array\n", bytes);
  abort();
}

// A new array of a class and shape, its blocks not yet allocated.
mxArray* arrayShell(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t nzmax) {
  mxArray* array = (mxArray*)exactBlock(sizeof(mxArray));
  array->classId = classId;
  array->sparse = sparse;
  array->complex = complex;
  array->m = m;
  array->n = n;
  array->dimensions = 2;
  array->nzmax = sparse ? nzmax : 0;
  array->elements = sparse ? nzmax : sizeProduct(m, n);
  array->guard = 0;
  array->real = array->imag = nullptr;
  array->ir = array->jc = nullptr;
  array->lentJc = false;
  return array;
}

// The sum of two sizes, or SIZE_MAX when it does not fit.
size_t sizeSum(size_t a, size_t b) { return a > SIZE_MAX - b ? SIZE_MAX : a + b; }

// Allocates the blocks of `array` (`guard` entries past its room when sparse), zeroed; false when
// the memory cannot be had.
bool allocateBlocks(mxArray* array, size_t guard) {
  array->guard = guard;
  const size_t entries = array->sparse ? sizeSum(array->nzmax, guard) : array->elements;
  const size_t valueBytes = sizeProduct(entries, elementBytes(array->classId));
  array->real = tryExactBlock(valueBytes, true);
  if (array->complex) array->imag = tryExactBlock(valueBytes, true);
  if (array->sparse) {
    array->ir = (uint64_t*)tryExactBlock(sizeProduct(entries, sizeof(uint64_t)), true);
    array->jc = (uint64_t*)tryExactBlock(sizeProduct(sizeSum(array->n, 1), sizeof(uint64_t)), true);
  }
  return array->real && (!array->complex || array->imag) && (!array->sparse || (array->ir && array->jc));
}

// An array of uint64 values as column starts or rows.
void copyIndices(uint64_t* block, const std::vector<uint64_t>& values) {
  if (!values.empty()) memcpy(block, values.data(), values.size() * sizeof(uint64_t));
}

// The larger of two sizes.
size_t larger(size_t a, size_t b) { return a > b ? a : b; }

}  // namespace

void* tryExactBlock(size_t bytes, bool zeroed) {
  if (bytes == SIZE_MAX) return nullptr;
  void* block = zeroed ? calloc(bytes, 1) : malloc(bytes);
  // A C library may answer null for no bytes at all; a block of one byte stands in for it.
  if (!block && bytes == 0) block = zeroed ? calloc(1, 1) : malloc(1);
  return block;
}

size_t elementBytes(mxClassID classId) {
  switch (classId) {
    case mxDOUBLE_CLASS: case mxINT64_CLASS: case mxUINT64_CLASS: return 8;
    case mxSINGLE_CLASS: case mxINT32_CLASS: case mxUINT32_CLASS: return 4;
    case mxCHAR_CLASS: case mxINT16_CLASS: case mxUINT16_CLASS: return 2;
    case mxCELL_CLASS: case mxSTRUCT_CLASS: return sizeof(void*);
    default: return 1;
  }
}

size_t sizeProduct(size_t a, size_t b) { return b != 0 && a > SIZE_MAX / b ? SIZE_MAX : a * b; }

mxArray* newHostArray(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t nzmax) {
  mxArray* array = arrayShell(classId, m, n, sparse, complex, nzmax);
  if (allocateBlocks(array, 0)) return array;
  fprintf(stderr, "testhost: cannot allocate the blocks of a %zu-by-%zu array\n", m, n);
  abort();
}

void destroyHostArray(mxArray* array) {
  if (!array) return;
  free(array->real);
  free(array->imag);
  free(array->ir);
  if (!array->lentJc) free(array->jc);
  free(array);
}

mxArray* newOutput(size_t m, size_t n, size_t room, bool complex, size_t guard) {
  mxArray* array = arrayShell(mxDOUBLE_CLASS, m, n, true, complex, room);
  if (!allocateBlocks(array, guard)) {
    destroyHostArray(array);
    return nullptr;
  }
  // Rows and values the plug-in does not write read as a row past every matrix and a NaN.
  memset(array->ir, 0xff, room * sizeof(uint64_t));
  memset(array->real, 0xff, room * sizeof(double));
  for (size_t k = room; k < room + guard; ++k) {
    array->ir[k] = kGuardIndex;
    memcpy((double*)array->real + k, &kGuardValue, sizeof(double));
  }
  return array;
}

mxArray* testhostSparse(size_t m, size_t n, const std::vector<uint64_t>& jc, const std::vector<uint64_t>& ir,
                        const std::vector<double>& pr) {
  mxArray* array = arrayShell(mxDOUBLE_CLASS, m, n, true, false, larger(ir.size(), pr.size()));
  array->real = exactBlock(array->nzmax * sizeof(double));
  array->ir = (uint64_t*)exactBlock(array->nzmax * sizeof(uint64_t));
  array->jc = (uint64_t*)exactBlock(jc.size() * sizeof(uint64_t));
  copyIndices(array->jc, jc);
  copyIndices(array->ir, ir);
  if (!pr.empty()) memcpy(array->real, pr.data(), pr.size() * sizeof(double));
  return array;
}

mxArray* testhostSparseOver(size_t m, size_t n, const uint64_t* jc) {
  mxArray* array = testhostSparse(m, n, {}, {}, {});
  free(array->jc);
  array->jc = const_cast<uint64_t*>(jc);
  array->lentJc = true;
  return array;
}

mxArray* testhostFull(size_t m, size_t n, const std::vector<double>& values) {
  mxArray* array = newHostArray(mxDOUBLE_CLASS, m, n, false, false, 0);
  const size_t copied = values.size() < array->elements ? values.size() : array->elements;
  if (copied > 0) memcpy(array->real, values.data(), copied * sizeof(double));
  return array;
}

mxArray* testhostText(const std::string& text) {
  mxArray* array = newHostArray(mxCHAR_CLASS, 1, text.size(), false, false, 0);
  for (size_t k = 0; k < text.size(); ++k) ((uint16_t*)array->real)[k] = (unsigned char)text[k];
  return array;
}

mxArray* testhostLogical(size_t m, size_t n, const std::vector<unsigned char>& bytes) {
  mxArray* array = newHostArray(mxLOGICAL_CLASS, m, n, false, false, 0);
  const size_t copied = bytes.size() < array->elements ? bytes.size() : array->elements;
  if (copied > 0) memcpy(array->real, bytes.data(), copied);
  return array;
}

mxArray* testhostSparseLogical(size_t m, size_t n, const std::vector<uint64_t>& jc, const std::vector<uint64_t>& ir,
                               const std::vector<unsigned char>& bytes) {
  mxArray* array = arrayShell(mxLOGICAL_CLASS, m, n, true, false, larger(ir.size(), bytes.size()));
  array->real = exactBlock(array->nzmax);
  array->ir = (uint64_t*)exactBlock(array->nzmax * sizeof(uint64_t));
  array->jc = (uint64_t*)exactBlock(jc.size() * sizeof(uint64_t));
  copyIndices(array->jc, jc);
  copyIndices(array->ir, ir);
  if (!bytes.empty()) memcpy(array->real, bytes.data(), bytes.size());
  return array;
}

mxArray* testhostOfClass(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t pages) {
  mxArray* array = newHostArray(classId, m, sizeProduct(n, pages), sparse, complex, sparse ? 1 : 0);
  if (pages != 1) array->dimensions = 3;
  return array;
}

void testhostDestroy(mxArray* array) { destroyHostArray(array); }

size_t testhostNzmax(const mxArray* array) { return array->nzmax; }

bool testhostGuardsIntact(const mxArray* array) {
  if (!array->sparse) return true;
  for (size_t k = array->nzmax; k < array->nzmax + array->guard; ++k)
    if (array->ir[k] != kGuardIndex || memcmp((const double*)array->real + k, &kGuardValue, sizeof(double)) != 0)
      return false;
  return true;
}
