#include <string.h>

#include <sstream>

#include "frame/sparse_view.h"
#include "tests/runner/cases.h"

// Whether two values are the same number, NaN matching NaN.
static bool sameValue(double expected, double actual) {
  return expected == actual || (expected != expected && actual != actual);
}

static std::string listed(const uint64_t* values, size_t count) {
  std::ostringstream text;
  for (size_t k = 0; k < count; ++k) text << (k ? " " : "") << (int64_t)values[k];
  return text.str();
}

static std::string listed(const double* values, size_t count) {
  std::ostringstream text;
  text.precision(17);
  for (size_t k = 0; k < count; ++k) text << (k ? " " : "") << values[k];
  return text.str();
}

// Compares a returned sparse matrix with the case's expectation.
static void compareResult(const Case& testCase, const mxArray* result, std::vector<std::string>& differences) {
  const size_t m = mxGetM(result), n = mxGetN(result);
  const uint64_t* jc = mxGetJc_730(result);
  const uint64_t* ir = mxGetIr_730(result);
  const double* pr = mxGetPr(result);
  const size_t stored = jc[n];
  if (!testhostGuardsIntact(result)) differences.push_back("entries were written past the output's room");
  if (testCase.nzmax >= 0 && testhostNzmax(result) != (size_t)testCase.nzmax)
    differences.push_back("nzmax " + std::to_string(testhostNzmax(result)) + ", expected " + std::to_string(testCase.nzmax));
  if (testCase.stored >= 0 && stored != (size_t)testCase.stored)
    differences.push_back("stored " + std::to_string(stored) + ", expected " + std::to_string(testCase.stored));
  if (!testCase.checksResult) return;
  if (m != testCase.m || n != testCase.n)
    differences.push_back("size " + std::to_string(m) + "x" + std::to_string(n) + ", expected " +
                          std::to_string(testCase.m) + "x" + std::to_string(testCase.n));
  bool same = testCase.jc.size() == n + 1 && testCase.ir.size() == stored && testCase.pr.size() == stored;
  for (size_t k = 0; same && k <= n; ++k) same = jc[k] == (uint64_t)testCase.jc[k];
  for (size_t k = 0; same && k < stored; ++k) same = ir[k] == (uint64_t)testCase.ir[k] && sameValue(testCase.pr[k], pr[k]);
  if (!same)
    differences.push_back("result jc [" + listed(jc, n + 1) + "] ir [" + listed(ir, stored) + "] pr [" +
                          listed(pr, stored) + "]");
}

std::vector<std::string> runCase(const Case& testCase, MexFunction entry) {
  std::vector<std::string> differences;
  std::vector<mxArray*> inputs;
  for (const CaseInput& input : testCase.inputs) inputs.push_back(buildInput(input));
  mxArray* outputs[4] = {nullptr, nullptr, nullptr, nullptr};
  HostError error;
  testhostTakeOutput();
  const bool returned = testhostCall(entry, testCase.nlhs, outputs, (int)inputs.size(),
                                     const_cast<const mxArray**>(inputs.data()), &error);
  const std::string printed = testhostTakeOutput();
  if (printed != testCase.output) differences.push_back("printed:\n" + printed + "expected:\n" + testCase.output);
  if (!returned && !testCase.raises) differences.push_back("raised " + error.identifier + " " + error.message);
  if (returned && testCase.raises) differences.push_back("returned instead of raising " + testCase.identifier);
  if (!returned && testCase.raises && (error.identifier != testCase.identifier || error.message != testCase.message))
    differences.push_back("raised " + error.identifier + " " + error.message + ", expected " + testCase.identifier +
                          " " + testCase.message);
  if (!returned && outputs[0] && !testCase.raisesAfterOutput) differences.push_back("output created before the error");
  if (returned && !outputs[0]) differences.push_back("returned no output in slot 0");
  if (returned && outputs[0]) compareResult(testCase, outputs[0], differences);
  for (mxArray* output : outputs) if (output) testhostDestroy(output);
  for (mxArray* input : inputs) testhostDestroy(input);
  return differences;
}
