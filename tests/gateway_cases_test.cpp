// Runs every case of tests/cases against the plug-ins built for the plain-array test host.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>

#include "tests/runner/cases.h"
#include "tests/runner/plugin.h"

static std::vector<Case> allCases() {
  std::vector<std::string> files;
  if (DIR* folder = opendir(CASES_DIR)) {
    while (dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name.size() > 6 && name.substr(name.size() - 6) == ".cases") files.push_back(std::string(CASES_DIR) + "/" + name);
    }
    closedir(folder);
  }
  std::sort(files.begin(), files.end());
  std::vector<Case> cases;
  for (const std::string& file : files) {
    const std::vector<Case> read = readCases(file);
    cases.insert(cases.end(), read.begin(), read.end());
  }
  return cases;
}

// Shows a case by where it is written, not by its bytes.
void PrintTo(const Case& testCase, std::ostream* stream) { *stream << testCase.where << " " << testCase.name; }

class GatewayCase : public testing::TestWithParam<Case> {};

TEST_P(GatewayCase, PrintsAndReturnsExactly) {
  const Case& testCase = GetParam();
  const MexFunction entry = loadPlugin(std::string(PLUGIN_DIR) + "/" + testCase.function + ".so");
  for (const std::string& difference : runCase(testCase, entry)) ADD_FAILURE() << testCase.where << " " << difference;
}

// The case's call with its inputs built anew, allocation `failing` failing (0 for none) as `answerNull` says.
static PluginCall callFailing(const Case& testCase, MexFunction entry, size_t failing, bool answerNull) {
  std::vector<mxArray*> inputs;
  for (const CaseInput& input : testCase.inputs) inputs.push_back(buildInput(input));
  testhostFailAllocation(failing, answerNull);
  const PluginCall call = callEntry(entry, testCase.nlhs, inputs);
  testhostFailAllocation(0, false);
  return call;
}

// Every allocation of a call that returns, failing in turn at each thread answer of the cases:
// answered with null, the call ends in MATLAB:<function>:nomem; ended by the host, in the host's own
// error. Nothing is written past a room.
TEST_P(GatewayCase, EndsInAnErrorWhenAnyAllocationFails) {
  const Case& testCase = GetParam();
  if (testCase.raises) return;
  const MexFunction entry = loadPlugin(std::string(PLUGIN_DIR) + "/" + testCase.function + ".so");
  for (const int threads : caseThreadAnswers()) {
    testhostSetThreads(threads);
    callFailing(testCase, entry, 0, false);
    const size_t allocations = testhostAllocations();
    EXPECT_GE(allocations, 1u) << testCase.where;
    for (size_t failing = 1; failing <= allocations; ++failing) {
      for (const bool answerNull : {true, false}) {
        const PluginCall call = callFailing(testCase, entry, failing, answerNull);
        const std::string expected = answerNull ? "MATLAB:" + testCase.function + ":nomem" : "MATLAB:nomem";
        const std::string where = testCase.where + " host threads " + std::to_string(threads) + " allocation " +
                                  std::to_string(failing);
        EXPECT_FALSE(call.returned) << where;
        EXPECT_EQ(expected, call.error.identifier) << where;
        EXPECT_TRUE(call.guardsIntact) << where;
      }
    }
  }
  testhostSetThreads(0);
}

static std::string caseName(const testing::TestParamInfo<Case>& info) {
  std::string name = info.param.function + "_" + info.param.name;
  std::replace_if(name.begin(), name.end(), [](char c) { return !isalnum((unsigned char)c); }, '_');
  return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Cases, GatewayCase, testing::ValuesIn(allCases()), caseName);
