// Gateway cases shared by every host: each names a call, its inputs, the exact lines it prints
// and either the host error it raises or the sparse matrix it returns.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tests/host/testhost.h"

// One input of a case, as written in a case file.
struct CaseInput {
  std::string kind;  // sparse, sparselogical, full, logical, scalar, identity, column, class, text, random
  std::vector<std::string> words;        // the words before the first '|'
  std::vector<std::vector<double>> parts;  // the '|'-separated lists of numbers after them
};

struct Case {
  std::string where;  // file:line of the case
  std::string name;
  std::string function;
  int nlhs = 1;
  std::vector<CaseInput> inputs;
  std::string output;  // every line the call prints, each ending in "\n"
  bool raises = false;
  std::string identifier, message;
  bool checksResult = false;
  bool fullResult = false;  // the result is a full double array, its elements listed as stored
  uint64_t m = 0, n = 0;
  std::vector<double> jc, ir, pr;
  int64_t stored = -1;  // the stored count alone, for results too large to list
  int64_t nzmax = -1;
  bool raisesAfterOutput = false;  // an error raised once the output exists, as a full result does
};

// Reads every case of a case file; throws std::runtime_error on a malformed line.
std::vector<Case> readCases(const std::string& path);

// Builds a case's input as a host array.
mxArray* buildInput(const CaseInput& input);

// The answers of the host's maxNumCompThreads every case runs at, the first the one the others are
// compared with.
std::vector<int> caseThreadAnswers();

// Runs a case against a plug-in's entry point at each of caseThreadAnswers(); returns a description
// of every difference from the case, and from the first run, bit for bit, in any later run.
std::vector<std::string> runCase(const Case& testCase, MexFunction entry);
