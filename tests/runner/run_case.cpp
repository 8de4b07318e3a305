#include <sstream>

#include "tests/runner/cases.h"
#include "tests/runner/plugin.h"

// Whether two values are the same number, NaN matching NaN.
static bool sameValue(double expected, double actual) {
  return expected == actual || (expected != expected && actual != actual);
}

// Compares a returned sparse matrix with the case's expectation.
static void compareResult(const Case& testCase, const PluginCall& call, std::vector<std::string>& differences) {
  const PlainSparse& result = call.result;
  const size_t stored = result.jc.back();
  if (!call.guardsIntact) differences.push_back("entries were written past the output's room");
  if (testCase.nzmax >= 0 && call.nzmax != (size_t)testCase.nzmax)
    differences.push_back("nzmax " + std::to_string(call.nzmax) + ", expected " + std::to_string(testCase.nzmax));
  if (testCase.stored >= 0 && stored != (size_t)testCase.stored)
    differences.push_back("stored " + std::to_string(stored) + ", expected " + std::to_string(testCase.stored));
  if (call.full != testCase.fullResult)
    differences.push_back(call.full ? "returned a full array, expected a sparse one" : "returned a sparse array, expected a full one");
  if (!testCase.checksResult) return;
  if (result.m != testCase.m || result.n != testCase.n)
    differences.push_back("size " + std::to_string(result.m) + "x" + std::to_string(result.n) + ", expected " +
                          std::to_string(testCase.m) + "x" + std::to_string(testCase.n));
  bool same = testCase.jc.size() == result.jc.size() && testCase.ir.size() == result.ir.size() &&
              testCase.pr.size() == result.pr.size();
  for (size_t k = 0; same && k < result.jc.size(); ++k) same = result.jc[k] == (uint64_t)testCase.jc[k];
  for (size_t k = 0; same && k < result.ir.size(); ++k)
    same = result.ir[k] == (uint64_t)testCase.ir[k] && sameValue(testCase.pr[k], result.pr[k]);
  if (!same) {
    std::ostringstream shown;
    PrintTo(result, &shown);
    differences.push_back("result " + shown.str());
  }
}

// Runs a case once at the host's thread answer of the moment; returns a description of every
// difference from the case, and the call in `call`.
static std::vector<std::string> runOnce(const Case& testCase, MexFunction entry, PluginCall* call) {
  std::vector<std::string> differences;
  std::vector<mxArray*> inputs;
  for (const CaseInput& input : testCase.inputs) inputs.push_back(buildInput(input));
  *call = callEntry(entry, testCase.nlhs, inputs);
  const HostError& error = call->error;
  if (call->printed != testCase.output)
    differences.push_back("printed:\n" + call->printed + "expected:\n" + testCase.output);
  if (!call->returned && !testCase.raises) differences.push_back("raised " + error.identifier + " " + error.message);
  if (call->returned && testCase.raises) differences.push_back("returned instead of raising " + testCase.identifier);
  if (!call->returned && testCase.raises && (error.identifier != testCase.identifier || error.message != testCase.message))
    differences.push_back("raised " + error.identifier + " " + error.message + ", expected " + testCase.identifier +
                          " " + testCase.message);
  if (!call->returned && call->outputCreated != testCase.raisesAfterOutput)
    differences.push_back(call->outputCreated ? "output created before the error" : "no output created before the error");
  if (call->returned && !call->outputCreated) differences.push_back("returned no output in slot 0");
  if (call->workspaceLeft > 0)
    differences.push_back("returned with " + std::to_string(call->workspaceLeft) + " workspace blocks not freed");
  if (call->arraysLeft > 0)
    differences.push_back("returned with " + std::to_string(call->arraysLeft) + " arrays not destroyed");
  if (call->returned && call->outputCreated) compareResult(testCase, *call, differences);
  return differences;
}

// How a run differs from the first run of the same case: printed text, outcome, error, and the
// output's size, structure, room and values, bit for bit.
static std::vector<std::string> differencesFromFirst(const PluginCall& first, const PluginCall& call) {
  std::vector<std::string> differences;
  if (call.printed != first.printed) differences.push_back("printed other text than on one thread");
  if (call.returned != first.returned || call.error.identifier != first.error.identifier ||
      call.error.message != first.error.message)
    differences.push_back("ended otherwise than on one thread: " + call.error.identifier + " " + call.error.message);
  if (call.outputCreated != first.outputCreated || call.result != first.result || call.nzmax != first.nzmax) {
    std::ostringstream shown;
    PrintTo(call.result, &shown);
    differences.push_back("output other than on one thread: " + shown.str() + " nzmax " + std::to_string(call.nzmax));
  }
  return differences;
}

std::vector<int> caseThreadAnswers() { return {1, 2, 3}; }

std::vector<std::string> runCase(const Case& testCase, MexFunction entry) {
  std::vector<std::string> differences;
  PluginCall first;
  for (const int threads : caseThreadAnswers()) {
    testhostSetThreads(threads);
    PluginCall call;
    std::vector<std::string> found = runOnce(testCase, entry, &call);
    if (threads == caseThreadAnswers().front()) first = call;
    else for (const std::string& difference : differencesFromFirst(first, call)) found.push_back(difference);
    for (const std::string& difference : found)
      differences.push_back("host threads " + std::to_string(threads) + ": " + difference);
  }
  testhostSetThreads(0);
  return differences;
}
