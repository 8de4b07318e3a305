// The test host: our own libmx and libmex, so tests can load a built plug-in and call its
// mexFunction. Arrays are plain blocks of exactly their size (tests/host/host_array.h), printed text
// is captured, a host error unwinds back to the caller of testhostCall, and only the thread that
// entered a call may call the host. Tests load plug-ins beside it as shared libraries; the fuzz
// targets link it in statically, in strict mode (tests/host/strict_host.h).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "frame/host.h"

#if defined(TESTHOST_STATIC)
#define TESTHOST_API
#elif defined(_WIN32)
#if defined(TESTHOST_BUILDING)
#define TESTHOST_API __declspec(dllexport)
#else
#define TESTHOST_API __declspec(dllimport)
#endif
#else
#define TESTHOST_API __attribute__((visibility("default")))
#endif

// A host error as a plug-in raised it.
struct HostError {
  std::string identifier;
  std::string message;
};

typedef void (*MexFunction)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Array constructors of the host (libmx). Every array is freed by testhostDestroy.
TESTHOST_API mxArray* testhostSparse(size_t m, size_t n, const std::vector<uint64_t>& jc,
                                     const std::vector<uint64_t>& ir, const std::vector<double>& pr);
// A sparse array whose column starts are the caller's memory and which stores nothing else: for
// sizes and counts too large to hold, when only a gateway's checks will look at it.
TESTHOST_API mxArray* testhostSparseOver(size_t m, size_t n, const uint64_t* jc);
TESTHOST_API mxArray* testhostFull(size_t m, size_t n, const std::vector<double>& values);
// A 1-by-n char array holding `text`.
TESTHOST_API mxArray* testhostText(const std::string& text);
TESTHOST_API mxArray* testhostLogical(size_t m, size_t n, const std::vector<unsigned char>& bytes);
// A sparse logical array, one byte per stored entry, exactly as given (stored false bytes kept).
TESTHOST_API mxArray* testhostSparseLogical(size_t m, size_t n, const std::vector<uint64_t>& jc,
                                            const std::vector<uint64_t>& ir, const std::vector<unsigned char>& bytes);
// An m-by-n array of zeros of a class; with `pages` other than 1, m-by-n-by-pages.
TESTHOST_API mxArray* testhostOfClass(mxClassID classId, size_t m, size_t n, bool sparse, bool complex,
                                      size_t pages = 1);
TESTHOST_API void testhostDestroy(mxArray* array);

// What a test reads back from an output: its room and whether anything was written past it.
TESTHOST_API size_t testhostNzmax(const mxArray* array);
TESTHOST_API bool testhostGuardsIntact(const mxArray* array);

// Calls a plug-in's entry point as the host does; returns false with `error` set when it raised
// a host error, whose workspace (mxMalloc and friends) is then freed. The arrays the call created
// and did not place in its output slots (plhs[0..max(nlhs,1)-1]) are destroyed when it ends; a slot
// holding any array but one the call created ends it in the error testhost:plhs. Printed text
// collects until testhostTakeOutput (libmex).
TESTHOST_API bool testhostCall(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs,
                               const mxArray* prhs[], HostError* error);
TESTHOST_API std::string testhostTakeOutput();
// What the host's maxNumCompThreads answers from now on; 0 for a host without it, whose plug-ins
// then fall back to OMP_NUM_THREADS and the processors the process may use.
TESTHOST_API void testhostSetThreads(int threads);
// The commands a plug-in ran through mexEvalString since the last call, one a line (libmex).
TESTHOST_API std::string testhostTakeCommands();

// Frees every workspace block still allocated, as the host does when a call ends; returns how
// many there were. The workspace of one call may never exceed 2 GiB (kLargestWorkspace,
// tests/host/state.cpp) nor an output 200,000,000 entries or columns: beyond them the test host
// answers as a host out of memory, so no faulty module can exhaust the machine.
TESTHOST_API size_t testhostFreeWorkspace();

// Makes allocation `which` (1 for the first workspace block or output a call asks for) of every
// call from now on fail: answered with null when `answerNull` (as Octave's mxRealloc answers when
// it cannot give the memory), else ending the call in MATLAB:nomem; 0 fails none. Once allocation
// `which` is passed, the call goes on as usual.
TESTHOST_API void testhostFailAllocation(size_t which, bool answerNull);
// The allocations the last call made.
TESTHOST_API size_t testhostAllocations();
// The arrays the last call, when it returned, created and neither placed in an output slot nor
// destroyed (answers of mexCallMATLABWithTrap it did not pass to mxDestroyArray): a leak, like
// workspace left. The host has destroyed them.
TESTHOST_API size_t testhostArraysLeft();
