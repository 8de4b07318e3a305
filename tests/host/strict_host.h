// The test host in strict mode, as the fuzz targets use it (linked in statically, built with
// TESTHOST_STRICT, strict from the start). On top of what the test host always checks, strict mode
// makes every block exact and every misuse fatal:
//   - an output gets exactly the room asked for, even none, its rows and values preset to all one
//     bits (a row past every matrix, a NaN), with no guard entries: AddressSanitizer sees a write
//     past it;
//   - workspace reads as the byte 0xa5 until written;
//   - a misuse (a free of a block the host did not give, a read of a first element that does not
//     exist, an output slot holding an array the call did not create...) ends the process with a
//     message instead of raising a host error;
//   - the caps on an output's room and columns and on the workspace held are the caller's.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "tests/host/host_array.h"

// What makes the host answer as out of memory, and the allocation of a call that fails.
struct HostLimits {
  size_t largestRoom;          // entries of an output
  size_t largestColumns;       // columns of an output
  size_t largestWorkspace;     // bytes of workspace held at once
  uint32_t failingAllocation;  // the allocation (1 for the first) that fails; 0 for none
  bool failWithNull;           // it is answered with null, as Octave's mxRealloc answers; else the call ends
  int threads;                 // what maxNumCompThreads answers; 0 for a host without it
};

// Puts the host in strict mode (or back in the test host's own) with no caps beyond the test
// host's own. Every host operation is then strict until the mode changes.
TESTHOST_API void testhostSetStrict(bool strict);
TESTHOST_API bool testhostIsStrict();

// How a strict call ended: returned, or the host error it raised; after a return, the workspace
// blocks it left and the arrays it created, neither returned nor destroyed (the host freed both).
struct CallOutcome {
  bool returned;
  std::string identifier, message;
  size_t workspaceLeft;
  size_t arraysLeft;
};

// Calls a plug-in's entry point as the host does, in strict mode under `limits`, which hold for
// this call alone. When the call ends in an error, the host frees the workspace left and destroys
// every array the call created, placed in a slot or not (the slots are then null); when it returns,
// `plhs` holds what the plug-in placed there, for the caller to destroy with destroyHostArray.
TESTHOST_API CallOutcome callStrict(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                                    const HostLimits& limits);
