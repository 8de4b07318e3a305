// How many threads a call uses: the caller's number, or the host's, the environment's or the
// machine's, and never more than its work is worth.
#include "frame/host.h"
#include "frame/threads.h"

// A count of threads from a number the host or a caller gave: its whole part, within 1 to
// kMostThreads; 0 for anything below 1 or not a number.
static int32_t threadsOf(double number) {
  if (!(number >= 1.0)) return 0;
  return number >= (double)kMostThreads ? kMostThreads : (int32_t)number;
}

// What the host's maxNumCompThreads answers, or 0 where it answers no number: MATLAB's count of
// computational threads (1 on its parallel workers), Octave's count of the processors it may use.
static int32_t hostThreads() {
  mxArray* answer[1] = {0};
  mxArray* error = mexCallMATLABWithTrap(1, answer, 0, 0, "maxNumCompThreads");
  int32_t threads = 0;
  if (error) {
    mxDestroyArray(error);
  } else if (answer[0]) {
    const bool number = mxGetClassID(answer[0]) == mxDOUBLE_CLASS && !mxIsSparse(answer[0]) &&
                        !mxIsComplex(answer[0]) && mxGetNumberOfElements(answer[0]) == 1;
    if (number) threads = threadsOf(mxGetScalar(answer[0]));
    mxDestroyArray(answer[0]);
  }
  return threads;
}

int32_t defaultThreads() {
  int32_t threads = hostThreads();
  if (threads == 0) threads = threadsOf((double)threadsFromEnvironment());
  if (threads == 0) threads = threadsOf((double)processorsAvailable());
  return threads > 0 ? threads : 1;
}

int32_t threadsFor(CallThreads& threads, uint64_t work, uint64_t perThread) {
  const uint64_t worth = perThread > 0 ? work / perThread : UINT64_MAX;
  if (worth < 2) return 1;
  if (threads.allowed == 0) threads.allowed = threads.requested > 0 ? threadsOf((double)threads.requested) : defaultThreads();
  return worth < (uint64_t)threads.allowed ? (int32_t)worth : threads.allowed;
}
