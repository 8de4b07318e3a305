// Name-value options after a module's fixed inputs, as MATLAB functions take them: each name a
// char vector of any case, followed by its value; a name given twice takes its later value.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "frame/host.h"
#include "frame/text.h"

// What an option's value must be.
enum OptionKind {
  kNumberOption,  // one real number
  kCountOption,   // one whole number from 1 to 2^31 - 1
  kFlagOption,    // one logical or number, 0 or 1: false or true
  kListOption,    // a real full double vector or [], of numbers the module checks itself
  kTextOption,    // a char row vector: a word the module checks itself
  kPairsOption,   // a real full double m-by-2 matrix (or []), of numbers the module checks itself
};

// One option of a module: its name as the help writes it, and its kind.
struct OptionSpec {
  const char* name;
  OptionKind kind;
};

// What a call gave for one option.
struct OptionValue {
  bool given;
  double number;        // number, count
  bool flag;            // flag
  const double* list;   // list, pairs: its numbers (null when empty) and how many (pairs: its rows)
  uint64_t count;
  char text[32];        // text
};

// Reads the name-value pairs prhs[first] to prhs[nrhs - 1] by `specs` into `values` (one for each
// spec, in the same order). Refuses, under MATLAB:<word>:<reason>, one pair at a time in the call's
// order: a name that is not text (badname), one of no option (badoption), a name without a value
// (novalue), then that option's value: notnumber, badcount, notflag, notlist, nottext or notpairs.
void readOptions(const char* word, const OptionSpec* specs, int specCount, int nrhs, const mxArray* const prhs[],
                 int first, OptionValue* values);

// The result's columns a Columns option names, 0-based, in workspace: its numbers truncated.
// Refuses numbers that are not finite or lie outside 1 to numNodes after truncation (badcolumn,
// with `rangeMessage`), or that do not ascend strictly (notascending).
int32_t* readColumnOption(const char* word, const OptionValue& columns, uint64_t numNodes, const char* rangeMessage);

// The result's rows a Rows option names, 0-based, in workspace, refused as readColumnOption
// refuses columns: badrow, with `rangeMessage`, or notascending.
int32_t* readRowOption(const char* word, const OptionValue& rows, uint64_t numNodes, const char* rangeMessage);

// Copies the text of a char row vector (or empty char array) into `text` (`size` bytes); false,
// with `text` empty, for any other array or a text that does not fit.
bool readText(const mxArray* array, char* text, size_t size);
