// The test host's state: its mode and caps, the host's thread, the ledgers of workspace and of the
// arrays a call creates, the allocation chosen to fail, and calling a plug-in as the host does.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/host/host_state.h"
#include "tests/host/strict_host.h"

namespace {

// The test host's own caps: the largest output it creates and the most workspace a call may hold
// at once, so that no faulty module can exhaust the machine; beyond them it answers as a host out
// of memory.
const size_t kLargestRoom = 200000000;
const size_t kLargestWorkspace = size_t(2) << 30;
const HostCaps kTestHostCaps = {kLargestRoom, kLargestRoom, kLargestWorkspace};
// Strict mode's caps between calls: none.
const HostCaps kNoCaps = {SIZE_MAX, SIZE_MAX, SIZE_MAX};

#if defined(TESTHOST_STRICT)
const bool kStrictFromStart = true;
#else
const bool kStrictFromStart = false;
#endif

// The thread that may call the host; no thread until a call or a first operation names one.
std::atomic<std::thread::id> hostThread{std::thread::id()};

// Whether `array` is in one of the output slots plhs[0..slots-1].
bool inSlots(const mxArray* array, mxArray* const plhs[], int slots) {
  for (int k = 0; k < slots; ++k)
    if (plhs[k] == array) return true;
  return false;
}

// The first output slot holding an array the call did not create, or destroyed; -1 for none.
int strangerSlot(mxArray* const plhs[], int slots) {
  for (int k = 0; k < slots; ++k)
    if (plhs[k] && !hostState().created.count(plhs[k])) return k;
  return -1;
}

// Hands the arrays in the output slots over to the caller and destroys every other array the call
// created; returns how many it destroyed.
size_t handOverOutputs(mxArray* const plhs[], int slots) {
  HostState& state = hostState();
  size_t destroyed = 0;
  for (mxArray* array : state.created) {
    if (inSlots(array, plhs, slots)) continue;
    destroyHostArray(array);
    ++destroyed;
  }
  state.created.clear();
  return destroyed;
}

// Ends a call: checks its output slots, hands over its outputs and destroys what else it created;
// after an error, frees its workspace. Returns whether the call returned, now that its slots are
// checked (a slot holding an array the call did not create is a misuse).
bool endCall(mxArray* plhs[], int slots, bool returned, HostError* error) {
  HostState& state = hostState();
  const int stranger = strangerSlot(plhs, slots);
  if (stranger >= 0) {
    const std::string what = "output slot " + std::to_string(stranger) + " holds an array the call did not create";
    if (state.strict) misuse("mexFunction", what.c_str());
    plhs[stranger] = nullptr;
    *error = HostError{"testhost:plhs", what};
    returned = false;
  }
  const size_t destroyed = handOverOutputs(plhs, slots);
  state.arraysLeft = returned ? destroyed : 0;
  if (!returned) testhostFreeWorkspace();
  return returned;
}

// An error as the host's functions answer it: a char array holding the message.
mxArray* errorAnswer(const std::string& message) { return recordCreated(testhostText(message)); }

}  // namespace

HostState& hostState() {
  static HostState state = {kStrictFromStart, kStrictFromStart ? kNoCaps : kTestHostCaps, 0, 0, false, {}, 0, {}, 0, 0};
  return state;
}

void raiseHostError(const char* identifier, const char* message) { throw HostError{identifier, message}; }

void misuse(const char* operation, const char* what) {
  if (hostState().strict) {
    fprintf(stderr, "testhost: %s: %s\n", operation, what);
    fflush(stderr);
    abort();
  }
  throw HostError{std::string("testhost:") + operation, what};
}

bool failsHere() {
  HostState& state = hostState();
  if (++state.allocations != state.failingAllocation) return false;
  if (!state.failWithNull) raiseHostError("MATLAB:nomem", "Out of memory.");
  return true;
}

mxArray* recordCreated(mxArray* array) {
  hostState().created.insert(array);
  return array;
}

void testhostEnter(const char* operation) {
  const std::thread::id self = std::this_thread::get_id();
  std::thread::id owner;
  if (hostThread.compare_exchange_strong(owner, self) || owner == self) return;
  fprintf(stderr, "testhost: %s called from a thread other than the one that entered the call\n", operation);
  fflush(stderr);
  abort();
}

mxArray* testhostCallFunction(int nlhs, mxArray* plhs[], int nrhs, const char* name) {
  const HostState& state = hostState();
  if (strcmp(name, "maxNumCompThreads") != 0 || state.threads == 0)
    return errorAnswer(std::string("Undefined function '") + name + "'.");
  if (nrhs != 0 || nlhs > 1) return errorAnswer("The test host's maxNumCompThreads takes no inputs and gives one output.");
  if (nlhs == 1) plhs[0] = recordCreated(testhostFull(1, 1, {(double)state.threads}));
  return nullptr;
}

void testhostSetThreads(int threads) { hostState().threads = threads; }

size_t testhostFreeWorkspace() {
  HostState& state = hostState();
  const size_t blocks = state.workspace.size();
  for (const auto& held : state.workspace) free(held.first);
  state.workspace.clear();
  state.workspaceBytes = 0;
  return blocks;
}

void testhostFailAllocation(size_t which, bool answerNull) {
  hostState().failingAllocation = which;
  hostState().failWithNull = answerNull;
}

size_t testhostAllocations() { return hostState().allocations; }

size_t testhostArraysLeft() { return hostState().arraysLeft; }

bool testhostCall(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], HostError* error) {
  hostThread.store(std::this_thread::get_id());
  hostState().allocations = 0;
  bool returned = true;
  try {
    entry(nlhs, plhs, nrhs, prhs);
  } catch (const HostError& raised) {
    *error = raised;
    returned = false;
  }
  return endCall(plhs, nlhs > 1 ? nlhs : 1, returned, error);
}

void testhostSetStrict(bool strict) {
  hostState().strict = strict;
  hostState().caps = strict ? kNoCaps : kTestHostCaps;
}

bool testhostIsStrict() { return hostState().strict; }

CallOutcome callStrict(MexFunction entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                       const HostLimits& limits) {
  testhostSetStrict(true);
  hostState().caps = HostCaps{limits.largestRoom, limits.largestColumns, limits.largestWorkspace};
  testhostFailAllocation(limits.failingAllocation, limits.failWithNull);
  testhostSetThreads(limits.threads);
  HostError error;
  CallOutcome outcome = {testhostCall(entry, nlhs, plhs, nrhs, prhs, &error), "", "", 0, 0};
  testhostSetStrict(true);
  testhostFailAllocation(0, false);
  testhostSetThreads(0);
  if (outcome.returned) {
    outcome.workspaceLeft = testhostFreeWorkspace();
    outcome.arraysLeft = testhostArraysLeft();
    return outcome;
  }
  // The host destroys what the call created, placed in a slot or not.
  for (int k = 0; k < (nlhs > 1 ? nlhs : 1); ++k) {
    destroyHostArray(plhs[k]);
    plhs[k] = nullptr;
  }
  outcome.identifier = error.identifier;
  outcome.message = error.message;
  return outcome;
}
