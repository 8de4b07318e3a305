// The fuzz target of one gateway, built once per module of modules.txt with FUZZ_WORD naming it,
// FUZZ_INPUTS listing the plans of its inputs (its row's inputs column) and the module's own
// sources linked in, called through the test host in strict mode. Each input is one call: the
// fuzzer picks the number of outputs and inputs, each input's class, shape and values, an
// allocation of the host that fails and what the host's maxNumCompThreads answers (no such
// function, or 1 to 8 threads). The call must end in a host error with an identifier, or return
// exactly one output, in slot 0, with valid structure, its workspace freed and every array the
// host answered it destroyed; either way its inputs stay unchanged.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "fuzz/gateway/host_inputs.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

// The kinds and shapes of input a module may expect, named in the inputs column of modules.txt.
const InputPlan kScalar = {{kFullDouble}, 1, kOne, kOne, false};
const InputPlan kSquare = {{kSparseDouble}, 1, kNodes, kNodes, false};
const InputPlan kGraph = {{kSparseDouble, kSparseLogical}, 2, kNodes, kNodes, false};
const InputPlan kNodeList = {{kFullDouble}, 1, kListed, kOne, true};
const InputPlan kLogicalTable = {{kFullLogical}, 1, kAttributes, kNodes, false};
const InputPlan kAnyTable = {{kFullLogical, kFullDouble, kSparseLogical, kSparseDouble}, 4, kAttributes, kNodes, false};
const InputPlan kNumericRows = {{kFullDouble}, 1, kNodes, kAttributes, false};
const InputPlan kDegreeColumn = {{kFullDouble}, 1, kNodes, kOne, false};
const InputPlan kDegreeRow = {{kFullDouble}, 1, kOne, kNodes, false};
const InputPlan kMeasure = {{kWord}, 1, kOne, kOne, false};
const InputPlan kName = {{kWord}, 1, kOne, kOne, false};
const InputPlan kValue = {{kFullDouble, kFullLogical, kWord}, 3, kOne, kOne, false};
const InputPlan kList = {{kFullDouble}, 1, kOne, kListed, true};
const InputPlan kPairs = {{kFullDouble}, 1, kListed, kTwo, true};

// The module's outputs and inputs.
const ModulePlan kPlan = {1, FUZZ_INPUT_COUNT, {FUZZ_INPUTS}};
const ModulePlan& modulePlan() { return kPlan; }

// Ends the run with a finding.
[[noreturn]] void finding(const std::string& what) {
  fprintf(stderr, "%s: %s\n", FUZZ_WORD, what.c_str());
  abort();
}

// Whether an output is a real full double column (the values of listed pairs) or a real sparse
// double matrix with valid structure: column starts from 0,
// never decreasing, ending within the room; rows strictly ascending in each column and below m.
std::string structureFault(const mxArray* S) {
  // A column of values, one for each pair a call lists, is the one full output.
  if (S->classId == mxDOUBLE_CLASS && !S->sparse && !S->complex && S->n == 1) return "";
  if (S->classId != mxDOUBLE_CLASS || !S->sparse || S->complex) return "output is not a real sparse double matrix";
  if (S->jc[0] != 0) return "first column start is not 0";
  for (size_t j = 0; j < S->n; ++j)
    if (S->jc[j + 1] < S->jc[j]) return "column starts decrease at column " + std::to_string(j);
  if (S->jc[S->n] > S->nzmax) return "column starts pass the room";
  for (size_t j = 0; j < S->n; ++j)
    for (uint64_t k = S->jc[j]; k < S->jc[j + 1]; ++k)
      if (S->ir[k] >= S->m || (k > S->jc[j] && S->ir[k] <= S->ir[k - 1]))
        return "row out of order or range at entry " + std::to_string(k);
  return "";
}

// Whether an identifier has the host's form: words joined by colons.
bool isIdentifier(const std::string& identifier) {
  return identifier.find(':') != std::string::npos && identifier.front() != ':' && identifier.back() != ':';
}

// The number of outputs: mostly 1.
int someOutputCount(FuzzedDataProvider& in, const ModulePlan& plan) {
  return in.ConsumeIntegralInRange<unsigned>(0, 7) < 6 ? plan.nlhs : in.ConsumeIntegralInRange<int>(0, 3);
}

// The number of inputs: mostly the module's, sometimes fewer (the optional ones) or more.
int someInputCount(FuzzedDataProvider& in, const ModulePlan& plan) {
  const unsigned pick = in.ConsumeIntegralInRange<unsigned>(0, 7);
  if (pick < 5) return plan.nrhs;
  if (pick < 7) return in.ConsumeIntegralInRange<int>(1, plan.nrhs);
  return in.ConsumeIntegralInRange<int>(0, plan.nrhs + 2);
}

// The host's limits for one call: room and workspace large enough for every input the fuzzer
// makes, and now and then an allocation that fails, answered with null or ending the call.
HostLimits someLimits(FuzzedDataProvider& in) {
  const uint32_t failing = in.ConsumeIntegralInRange<unsigned>(0, 7) == 0 ? in.ConsumeIntegralInRange<uint32_t>(1, 12) : 0;
  return HostLimits{1 << 20, 1 << 20, 64 << 20, failing, failing != 0 && in.ConsumeBool(), 0};
}

// What the host's maxNumCompThreads answers: nothing (a host without it) or 1 to 8 threads. Drawn
// after everything else, so that the seeds made before it still make the same calls.
int someThreads(FuzzedDataProvider& in) { return in.ConsumeIntegralInRange<int>(0, 8); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const ModulePlan& plan = modulePlan();
  HostLimits limits = someLimits(in);
  const int nlhs = someOutputCount(in, plan), nrhs = someInputCount(in, plan);
  std::vector<mxArray*> inputs = someInputs(in, plan, nrhs);
  std::vector<std::vector<uint8_t>> before;
  for (const mxArray* input : inputs) before.push_back(snapshotOf(input));

  // The slots and the input list are blocks of exactly their size too.
  const int slots = nlhs > 1 ? nlhs : 1;
  mxArray** plhs = (mxArray**)calloc(slots, sizeof(mxArray*));
  const mxArray** prhs = (const mxArray**)malloc(nrhs * sizeof(mxArray*));
  for (int k = 0; k < nrhs; ++k) prhs[k] = inputs[k];
  limits.threads = someThreads(in);
  const CallOutcome outcome = callStrict(mexFunction, nlhs, plhs, nrhs, prhs, limits);
  testhostTakeOutput();
  testhostTakeCommands();

  for (int k = 0; k < nrhs; ++k)
    if (snapshotOf(inputs[k]) != before[k]) finding("input " + std::to_string(k + 1) + " changed");
  if (outcome.returned) {
    if (!plhs[0]) finding("returned without an output in slot 0");
    for (int k = 1; k < slots; ++k)
      if (plhs[k]) finding("an output in slot " + std::to_string(k));
    if (outcome.arraysLeft != 0) finding("created arrays it neither returned nor destroyed");
    if (outcome.workspaceLeft != 0) finding("returned without freeing its workspace");
    const std::string fault = structureFault(plhs[0]);
    if (!fault.empty()) finding(fault);
  } else if (!isIdentifier(outcome.identifier) || outcome.message.empty()) {
    finding("error without an identifier or message: '" + outcome.identifier + "'");
  }
  for (int k = 0; k < slots; ++k) destroyHostArray(plhs[k]);
  for (mxArray* input : inputs) destroyHostArray(input);
  free(plhs);
  free(prhs);
  return 0;
}
