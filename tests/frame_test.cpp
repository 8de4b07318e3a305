// The frame's own helpers on plain values: progress in tenths, identifiers, and the test host's
// ledger of workspace that modules of our own take from the host.
#include <gtest/gtest.h>

#include "frame/gateway.h"
#include "frame/progress.h"
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
  const PluginCall twice = callEntry([](int, mxArray*[], int, const mxArray*[]) {
    void* block = mxMalloc(8);
    mxFree(block);
    mxFree(block);
  }, 1, {});
  EXPECT_EQ("testhost:mxFree", twice.error.identifier);
}

}  // namespace
