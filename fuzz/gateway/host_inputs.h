// The host arrays a gateway fuzz target passes: of any class and shape the fuzzer picks, mostly
// of the kinds and shapes the module expects, so that calls get past the checks as often as they
// stop at them. Sparse arrays always have valid structure, as a real host guarantees.
#pragma once

#include <stdint.h>

#include <vector>

#include "tests/host/strict_host.h"
#include "fuzz/support/fuzz_values.h"

// The classes of input a caller can pass.
enum InputKind {
  kSparseDouble, kSparseLogical, kSparseComplex, kFullDouble, kFullComplex, kFullLogical,
  kInteger, kSingle, kChar, kCell, kStruct, kEmpty, kWord, kInputKinds
};

// The sizes inputs share: nodes (or n), listed nodes, attributes; and 1 and 2.
enum Dimension { kNodes, kListed, kAttributes, kOne, kTwo };

// What an input of a module should be: one of up to four kinds, its shape, and whether it holds
// node numbers (then mostly ascending and in range, a list or the two columns of pairs).
struct InputPlan {
  InputKind kinds[4];
  int kindCount;
  Dimension rows, columns;
  bool nodeList;
};

// What a call of a module should be: its outputs and inputs.
struct ModulePlan {
  int nlhs;
  int nrhs;
  InputPlan inputs[24];
};

// The inputs of one call, made from the fuzzer's bytes, mostly following `plan`.
std::vector<mxArray*> someInputs(FuzzedDataProvider& in, const ModulePlan& plan, int nrhs);

// A copy of what an input holds, to check that a call left it unchanged.
std::vector<uint8_t> snapshotOf(const mxArray* array);
