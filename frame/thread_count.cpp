// How many threads a call uses: the caller's number, or the host's, the environment's or the
// machine's, and never more than its work is worth.
#include "frame/gateway.h"
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
    if (holdsNumber(answer[0]) && !mxIsComplex(answer[0])) threads = threadsOf(mxGetScalar(answer[0]));
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

int32_t threadsForWork(uint64_t work, uint64_t perThread, int32_t requested) {
  const uint64_t worth = perThread > 0 ? work / perThread : UINT64_MAX;
  if (worth < 2) return 1;
  const int32_t most = requested > 0 ? threadsOf((double)requested) : defaultThreads();
  return worth < (uint64_t)most ? (int32_t)worth : most;
}
