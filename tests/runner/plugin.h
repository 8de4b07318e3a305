// Loading a built plug-in as the host's loader does, and calling it as the host does.
#pragma once

#include <stdint.h>

#include <ostream>
#include <string>
#include <vector>

#include "frame/sparse_view.h"
#include "tests/host/testhost.h"

// The mexFunction of the plug-in at `path`; throws std::runtime_error when it cannot be loaded.
MexFunction loadPlugin(const std::string& path);

// Any other exported function of the plug-in at `path`, or null when it has none of that name.
void* findExport(const std::string& path, const std::string& name);

// A sparse matrix as plain vectors: column starts, rows and values of its stored entries.
struct PlainSparse {
  size_t m = 0, n = 0;
  std::vector<uint64_t> jc{0}, ir;
  std::vector<double> pr;
};

// The read-only view of m-by-n sparse arrays, as a kernel reads an input.
inline MatrixView sparseOver(size_t m, size_t n, const uint64_t* jc, const uint64_t* ir, const double* pr) {
  return MatrixView{m, n, pr, nullptr, ir, jc};
}
inline MatrixView viewOf(const PlainSparse& matrix) {
  return sparseOver(matrix.m, matrix.n, matrix.jc.data(), matrix.ir.data(), matrix.pr.data());
}

// The n-by-n output view over arrays with room for `nzmax` entries, as a kernel writes a result.
inline SparseView outputOver(size_t n, uint64_t* jc, uint64_t* ir, double* pr, uint64_t nzmax) {
  return SparseView{n, n, pr, ir, jc, nzmax};
}

// The stored part of an m-by-n result in plain arrays: jc[0..n], then as many rows and values as
// jc[n] says, but never more than `room`.
PlainSparse storedPart(size_t m, size_t n, const uint64_t* jc, const uint64_t* ir, const double* pr, uint64_t room);

// An m-by-n full array's elements (column-major) as a sparse matrix storing every one of them.
PlainSparse everyElementOf(size_t m, size_t n, const double* values);

// Same size, column starts and rows, and values bit for bit.
bool operator==(const PlainSparse& a, const PlainSparse& b);
inline bool operator!=(const PlainSparse& a, const PlainSparse& b) { return !(a == b); }
void PrintTo(const PlainSparse& matrix, std::ostream* out);

// One call of a plug-in: whether it returned, the host error it raised, what it printed, and what
// it left in output slot 0.
struct PluginCall {
  bool returned = false;
  HostError error;
  std::string printed;
  bool outputCreated = false;  // slot 0 held a sparse output (or a full double one), returned or not
  bool full = false;           // ... a full double one, read as a sparse matrix storing every element
  PlainSparse result;          // that output's stored part
  size_t nzmax = 0;            // its room
  bool guardsIntact = true;    // nothing was written past its room
  size_t workspaceLeft = 0;    // workspace blocks a returning call did not free
  size_t arraysLeft = 0;       // arrays a returning call created and neither returned nor destroyed
};

// Calls `entry` with `nlhs` outputs asked for and `inputs`, as the host does; reads back slot 0 and
// destroys the inputs and every output.
PluginCall callEntry(MexFunction entry, int nlhs, const std::vector<mxArray*>& inputs);
