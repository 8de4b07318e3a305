// The frame's own helpers on plain values: progress in tenths, identifiers, and the test host's
// ledgers of the workspace and arrays that modules of our own take from the host, its one thread,
// and its strict mode.
#include <gtest/gtest.h>

#include "frame/gateway.h"
#include "frame/progress.h"
#include "frame/threads.h"
#include "tests/host/strict_host.h"
#include "tests/support/plugins.h"

namespace {

// The lines a tenths progress over `total` steps prints when each step is reported in turn.
std::string tenthsOver(uint64_t total, bool shown, std::string* commands) {
  testhostTakeOutput();
  testhostTakeCommands();
  TenthsProgress progress = startTenths("%d%% done\n", total, shown);
  for (uint64_t done = 1; done <= total; ++done) advanceTenths(progress, done);
  *commands = testhostTakeCommands();
  return testhostTakeOutput();
}

TEST(TenthsProgress, PrintsEachTenthOnceAtItsExactCountAndFlushes) {
  std::string commands;
  // 25 steps: tenths complete at steps 3, 5, 8, 10, 13, 15, 18, 20, 23 and 25.
  testhostTakeOutput();
  TenthsProgress progress = startTenths("%d%%\n", 25, true);
  std::string shownAt;
  for (uint64_t done = 1; done <= 25; ++done) {
    advanceTenths(progress, done);
    if (!testhostTakeOutput().empty()) shownAt += std::to_string(done) + " ";
  }
  EXPECT_EQ("3 5 8 10 13 15 18 20 23 25 ", shownAt);
  // A jump past several tenths prints each of them, and a flush of the command window.
  EXPECT_EQ("10% done\n20% done\n30% done\n40% done\n50% done\n60% done\n70% done\n80% done\n90% done\n100% done\n",
            tenthsOver(7, true, &commands));
  EXPECT_EQ("drawnow;\n", commands.substr(0, 9));
  EXPECT_EQ("", tenthsOver(1000, false, &commands));
  EXPECT_EQ("", commands);
}

TEST(JoinIdentifier, JoinsWordAndReasonAndCutsAtTheRoom) {
  char identifier[32];
  joinIdentifier(identifier, sizeof identifier, "tessaly5", "noroom");
  EXPECT_STREQ("MATLAB:tessaly5:noroom", identifier);
  char small[10];
  joinIdentifier(small, sizeof small, "tessaly5", "noroom");
  EXPECT_STREQ("MATLAB:te", small);
}

// A call that frees its workspace block twice.
void freeTwice(int, mxArray*[], int, const mxArray*[]) {
  void* block = mxMalloc(8);
  mxFree(block);
  mxFree(block);
}

// A call that takes `bytes` of workspace, keeps it, and then raises an error when `fail` is set.
template <size_t bytes, bool fail>
void takeWorkspace(int, mxArray*[], int, const mxArray*[]) {
  void* block = mxMalloc(bytes);
  block = mxRealloc(block, 2 * bytes);
  if (fail) mexErrMsgIdAndTxt("test:failed", "failed");
}

TEST(TestHostWorkspace, IsFreedAfterAnErrorAndBoundedLikeAHostOutOfMemory) {
  EXPECT_FALSE(callEntry(takeWorkspace<64, true>, 1, {}).returned);
  EXPECT_EQ(0u, testhostFreeWorkspace());
  const PluginCall kept = callEntry(takeWorkspace<64, false>, 1, {});
  EXPECT_TRUE(kept.returned);
  EXPECT_EQ(1u, kept.workspaceLeft);
  const PluginCall huge = callEntry(takeWorkspace<(size_t(3) << 30), false>, 1, {});
  EXPECT_EQ("MATLAB:nomem", huge.error.identifier);
  const PluginCall twice = callEntry(freeTwice, 1, {});
  EXPECT_EQ("testhost:mxFree", twice.error.identifier);
}

// ThreadSanitizer cannot run threads in a child forked from a process with threads, as its own
// runtime has: there a death test starts the test program anew instead.
void chooseDeathTestStyle() {
#if defined(__SANITIZE_THREAD__)
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#endif
}

// A call whose second worker prints: what a module must never do.
void printFromAWorker(int, mxArray*[], int, const mxArray*[]) {
  auto work = [](int32_t worker) {
    if (worker == 1) mexPrintf("from a worker\n");
  };
  runEachWorker(work, 2);
}

TEST(TestHostThread, AnOperationFromAnyOtherThreadEndsTheProcessNamingIt) {
  chooseDeathTestStyle();
  EXPECT_DEATH(callEntry(printFromAWorker, 1, {}), "mexPrintf called from a thread other than the one that entered the call");
  // Between calls, the thread of the last call alone.
  mxArray* array = testhostFull(1, 1, {1});
  callEntry([](int, mxArray*[], int, const mxArray*[]) {}, 1, {});
  EXPECT_DEATH(runWorkers([](void* context, int32_t worker) { if (worker == 1) mxGetM((mxArray*)context); }, array, 2),
               "mxGetM called from a thread other than");
  testhostDestroy(array);
}

// A call that asks the host for its threads, prints the answer and destroys it or not.
template <bool destroyed>
void askThreads(int, mxArray*[], int, const mxArray*[]) {
  mxArray* answer[1] = {nullptr};
  mxArray* error = mexCallMATLABWithTrap(1, answer, 0, nullptr, "maxNumCompThreads");
  if (error) mexPrintf("error\n");
  if (answer[0]) mexPrintf("%g threads\n", mxGetScalar(answer[0]));
  if (destroyed) {
    mxDestroyArray(error);
    mxDestroyArray(answer[0]);
  }
}

TEST(TestHostThread, AnswersMaxNumCompThreadsWithAnArrayThePlugInMustDestroy) {
  testhostSetThreads(3);
  EXPECT_EQ(3, defaultThreads());
  const PluginCall freed = callEntry(askThreads<true>, 1, {});
  EXPECT_EQ("3 threads\n", freed.printed);
  EXPECT_EQ(0u, freed.arraysLeft);
  EXPECT_EQ(1u, callEntry(askThreads<false>, 1, {}).arraysLeft);
  testhostSetThreads(0);
  EXPECT_EQ("error\n", callEntry(askThreads<true>, 1, {}).printed);
  EXPECT_EQ(1u, callEntry(askThreads<false>, 1, {}).arraysLeft);
  // No other function answers, and an input is not the plug-in's to destroy.
  mxArray* answer[1] = {nullptr};
  mxArray* error = mexCallMATLABWithTrap(1, answer, 0, nullptr, "nproc");
  EXPECT_TRUE(error && !answer[0]);
  mxDestroyArray(error);
  const PluginCall destroysInput = callEntry([](int, mxArray*[], int, const mxArray* prhs[]) {
    mxDestroyArray(const_cast<mxArray*>(prhs[0]));
  }, 1, {testhostFull(1, 1, {1})});
  EXPECT_EQ("testhost:mxDestroyArray", destroysInput.error.identifier);
}

// A call that creates an output of the room `room` in slot 0.
template <size_t room>
void createRoom(int, mxArray* plhs[], int, const mxArray*[]) {
  plhs[0] = mxCreateSparse_730(2, 2, room, mxREAL);
}

TEST(TestHostStrictMode, GivesExactlyTheRoomAskedForAndEndsTheProcessOnAMisuse) {
  chooseDeathTestStyle();
  testhostSetStrict(true);
  EXPECT_EQ(0u, callEntry(createRoom<0>, 1, {}).nzmax);
  EXPECT_DEATH(callEntry(freeTwice, 1, {}), "testhost: mxFree: free of a block the host did not give");
  EXPECT_DEATH(callEntry([](int, mxArray* plhs[], int, const mxArray* prhs[]) { plhs[0] = const_cast<mxArray*>(prhs[0]); },
                         1, {testhostFull(1, 1, {1})}),
               "output slot 0 holds an array the call did not create");
  testhostSetStrict(false);
  EXPECT_EQ(1u, callEntry(createRoom<0>, 1, {}).nzmax);
}

}  // namespace
