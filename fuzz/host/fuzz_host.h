// A strict stand-in for libmx and libmex, linked into each fuzz target with one module's sources.
// Every array block is allocated at exactly its size, so a read or write one past its end is an
// AddressSanitizer error; an output gets exactly the room asked for; workspace (mxMalloc and
// friends) is allocated exactly too and freed by the host when a call ends in an error; a host
// error unwinds back to the caller as a C++ exception. Workspace and room are capped, answering
// "MATLAB:nomem" beyond the caps (mxRealloc answers null there, as Octave's does), and an allocation
// chosen by the fuzzer can fail either way.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "frame/host.h"

// A host array: its class and shape, and its blocks, each exactly as large as its elements.
struct mxArray_tag {
  mxClassID classId;
  bool sparse, complex;
  size_t m, n;
  size_t dimensions; // 2, or 3 for a full array of pages (n counts the columns of every page)
  size_t nzmax;      // sparse: the room of ir and of the value blocks
  size_t elements;   // the elements of each value block: m * n when full, nzmax when sparse
  void* real;        // the values (or the cell and struct slots), of elementBytes(classId) each
  void* imag;        // complex only
  uint64_t* ir;      // sparse only: nzmax rows
  uint64_t* jc;      // sparse only: n + 1 column starts
};

// The bytes of one element of a class: 8 for double, 1 for logical, 2 for char, and so on.
size_t elementBytes(mxClassID classId);

// A new array with its blocks allocated exactly and zeroed; sparse arrays get `nzmax` room.
mxArray* newHostArray(mxClassID classId, size_t m, size_t n, bool sparse, bool complex, size_t nzmax);
void destroyHostArray(mxArray* array);

// How a call ended: returned, or the host error it raised.
struct CallOutcome {
  bool returned;
  std::string identifier, message;
};

typedef void (*MexFunction)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Limits of one call: what makes the host answer as out of memory.
struct HostLimits {
  size_t largestRoom;       // entries of an output
  size_t largestColumns;    // columns of an output
  size_t largestWorkspace;  // bytes of workspace held at once
  uint32_t failingAllocation;  // the allocation (1 for the first) that fails; 0 for none
  bool failWithNull;           // it is answered with null, as Octave's mxRealloc answers; else the call ends
};

// Calls a plug-in's entry point as the host does. When the call ends in an error, the host frees
// the workspace left and destroys every array the call created; when it returns, `plhs` holds
// what the plug-in placed there.
CallOutcome callPlugin(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                       const HostLimits& limits);

// After a call that returned: workspace blocks it left, and arrays it created besides those in
// `plhs[0..slots-1]`.
size_t workspaceLeft();
size_t strayArrays(mxArray* const plhs[], int slots);

// Frees whatever a call left (workspace and created arrays not in slots).
void releaseCallLeftovers(mxArray* const plhs[], int slots);

// The text printed since the last call of takePrinted, when printing is kept.
void keepPrinted(bool keep);
std::string takePrinted();
