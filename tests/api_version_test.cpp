// The release entry point of the macOS and Linux plug-ins, built from the same source for the test
// host and called.
#include <gtest/gtest.h>

#include "tests/runner/plugin.h"

typedef void (*ApiVersion)(unsigned int* buildRelease, unsigned int* targetApiRelease);

// Writes R2017b and interface 0, each as one 32-bit word, and touches nothing beside them.
TEST(ApiVersion, WritesRelease2017bAndInterfaceZero) {
  const ApiVersion entry = (ApiVersion)findExport(PLUGIN_DIR "/api_version.so", "mexfilerequiredapiversion");
  ASSERT_NE(entry, nullptr);
  unsigned int words[5] = {0xdeadbeef, 0xdeadbeef, 0xdeadbeef, 0xdeadbeef, 0xdeadbeef};
  entry(&words[1], &words[3]);
  EXPECT_EQ(words[1], 0x2017Bu);
  EXPECT_EQ(words[1], 131451u);
  EXPECT_EQ(words[3], 0u);
  EXPECT_EQ(words[0], 0xdeadbeefu);
  EXPECT_EQ(words[2], 0xdeadbeefu);
  EXPECT_EQ(words[4], 0xdeadbeefu);
}
