// Progress lines: a kernel that has one prints it each time its count of stored entries reaches a
// multiple of its step.
#pragma once

#include <stdint.h>

// Every `step` stored entries a kernel prints `line` with the count divided by `unit`.
struct ProgressLine {
  int32_t step;
  int32_t unit;
  const char* line;
};

// Prints the progress line when a just-stored entry brings the count to a multiple of its step.
void reportProgress(const ProgressLine& progress, int32_t storedCount);
