// What the sources of the test host share: its mode and caps, the ledgers of the call under way,
// and the few functions libmex takes from libmx (libmx holds every piece of state but the printed
// text, so it depends on nothing; libmex depends on it).
#pragma once

#include <stddef.h>

#include <map>
#include <set>

#include "tests/host/host_array.h"

// What makes the host answer as out of memory.
struct HostCaps {
  size_t largestRoom;       // entries of an output
  size_t largestColumns;    // columns of an output
  size_t largestWorkspace;  // bytes of workspace held at once
};

// Everything the test host keeps between operations.
struct HostState {
  bool strict;
  HostCaps caps;
  size_t allocations;        // the allocations (workspace and outputs) of the call under way
  size_t failingAllocation;  // the one chosen to fail; 0 for none
  bool failWithNull;
  std::map<void*, size_t> workspace;  // the workspace blocks held, and their sizes
  size_t workspaceBytes;
  std::set<mxArray*> created;  // arrays the host made for the plug-in, not yet destroyed or handed over
  size_t arraysLeft;           // those the last call that returned left behind
  int threads;                 // what maxNumCompThreads answers; 0 for a host without it
};

// The one state of the host.
HostState& hostState();

// Raises a host error: the call ends here, unwinding back to testhostCall.
[[noreturn]] void raiseHostError(const char* identifier, const char* message);

// A plug-in's misuse of operation `operation`: in strict mode the process ends with a message; else
// the call ends in the host error testhost:<operation>.
[[noreturn]] void misuse(const char* operation, const char* what);

// Counts an allocation; whether it is the one chosen to fail, which ends the call in MATLAB:nomem
// unless the host answers null.
bool failsHere();

// Records an array the host made for the plug-in; returns it.
mxArray* recordCreated(mxArray* array);

// A block of exactly `bytes` bytes (never a null pointer), zeroed when `zeroed`, or null when the
// memory cannot be had.
void* tryExactBlock(size_t bytes, bool zeroed);

// A new m-by-n real or complex sparse output with room for `room` entries and `guard` entries past
// it: column starts zero, rows and values preset to all one bits, guard entries to their pattern.
// Null when the memory cannot be had.
mxArray* newOutput(size_t m, size_t n, size_t room, bool complex, size_t guard);

// Entries past a test-host output's room, filled with a pattern that a write past the room changes.
const size_t kGuard = 16;

// Checks that operation `operation` is called on the host's thread: the one that entered the call
// under way (or, between calls, the last call), else the first to use the host. Any other thread
// ends the process with a message naming the operation. Every host operation starts with it.
TESTHOST_API void testhostEnter(const char* operation);

// What the host's functions answer to mexCallMATLABWithTrap: maxNumCompThreads, asked with no
// inputs for at most one output, answers the number testhostSetThreads gave, when it gave one;
// anything else answers an error as a char array. Every array answered is the plug-in's to destroy.
TESTHOST_API mxArray* testhostCallFunction(int nlhs, mxArray* plhs[], int nrhs, const char* name);
