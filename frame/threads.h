// The thread layer: a call's work shared among workers, each on a thread of the platform's own
// (POSIX threads on Linux and macOS, Windows threads), and how many threads a call may use. Only
// the calling thread calls the host; a worker touches nothing but what its task hands it.
#pragma once

#include <stdint.h>

// The most threads one call runs on.
const int32_t kMostThreads = 64;

// Worker `worker` does its part of the work that `context` describes.
typedef void (*WorkerTask)(void* context, int32_t worker);

// Runs task(context, w) for every w from 0 to workers - 1 (at most kMostThreads): worker 0 on the
// calling thread, each other on a thread of its own, and returns once every one has finished, so
// that no thread outlives it. A part whose thread the system cannot start runs on the calling
// thread after its own.
void runWorkers(WorkerTask task, void* context, int32_t workers);

// runWorkers for a function object called with the worker's number.
template <typename Work>
void runEachWorker(Work& work, int32_t workers) {
  runWorkers([](void* context, int32_t worker) { (*(Work*)context)(worker); }, &work, workers);
}

// The processors this process may run on (its affinity), at least 1.
int32_t processorsAvailable();

// The whole number from 1 up that the environment variable OMP_NUM_THREADS starts with, or 0 when
// it is not set or starts with none.
int32_t threadsFromEnvironment();

// The threads a call may use when its caller names no number: the host's maxNumCompThreads where
// the host answers it, else OMP_NUM_THREADS where it is set, else the processors this process may
// run on; from 1 to kMostThreads. It asks the host, so only the calling thread may ask.
int32_t defaultThreads();

// The threads of one call: the number its caller asked for (0 for the host's), and what that
// allows, found when some part of the call first has work enough for two threads.
struct CallThreads {
  int32_t requested;
  int32_t allowed;  // 0 until found
};

// The threads a part of a call with `work` units runs on: one while the work is below two
// threads' worth of `perThread` units each (without asking the host), else one for each
// `perThread` units, at most the call's allowed threads (asking the host once when the caller
// named no number).
int32_t threadsFor(CallThreads& threads, uint64_t work, uint64_t perThread);
