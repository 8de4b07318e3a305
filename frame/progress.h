// Progress lines: a kernel that has one prints it each time its count of stored entries reaches a
// multiple of its step; a long call of a module of our own prints one each tenth of its work.
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

// A long call's progress in tenths: each time another tenth of its `total` steps is done it prints
// `line` with the percentage done (10 to 100) and flushes the command window, so that the line
// shows while the call runs.
struct TenthsProgress {
  const char* line;    // shows the percentage done through its one %d
  uint64_t total;      // the steps of the whole call
  uint64_t nextLine;   // the count of steps done at which the next line is due
  int32_t tenthsShown;
};

// Progress over `total` steps, whose lines show only when `shown` (for a call long enough to watch).
TenthsProgress startTenths(const char* line, uint64_t total, bool shown);

// Prints a line for each tenth of the steps that `done` steps newly complete.
void showTenths(TenthsProgress& progress, uint64_t done);

// Records that `done` of the steps are done: cheap until the next tenth is reached.
inline void advanceTenths(TenthsProgress& progress, uint64_t done) {
  if (done >= progress.nextLine) showTenths(progress, done);
}

// Makes the lines printed so far show in the host's command window while the call goes on.
void flushCommandWindow();
