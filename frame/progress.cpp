#include "frame/host.h"
#include "frame/progress.h"

// Prints the progress line when a just-stored entry brings the count to a multiple of its step.
void reportProgress(const ProgressLine& progress, int32_t storedCount) {
  if (storedCount % progress.step == 0) mexPrintf(progress.line, storedCount / progress.unit);
}

// The count of steps done out of `total` that completes tenth `tenth` (from 1 to 10).
static uint64_t stepsForTenth(uint64_t total, int32_t tenth) {
  return total / 10 * (uint64_t)tenth + (total % 10 * (uint64_t)tenth + 9) / 10;
}

// Progress over `total` steps, whose lines show only when `shown`.
TenthsProgress startTenths(const char* line, uint64_t total, bool shown) {
  TenthsProgress progress = {line, total, shown ? stepsForTenth(total, 1) : UINT64_MAX, 0};
  return progress;
}

// Prints a line for each tenth of the steps that `done` steps newly complete.
void showTenths(TenthsProgress& progress, uint64_t done) {
  while (progress.tenthsShown < 10 && done >= stepsForTenth(progress.total, progress.tenthsShown + 1)) {
    ++progress.tenthsShown;
    mexPrintf(progress.line, progress.tenthsShown * 10);
  }
  progress.nextLine = progress.tenthsShown < 10 ? stepsForTenth(progress.total, progress.tenthsShown + 1) : UINT64_MAX;
  flushCommandWindow();
}

// MATLAB shows what a plug-in printed at its next drawnow; Octave at a flush of its output.
void flushCommandWindow() {
#if defined(HOST_OCTAVE)
  mexEvalString("fflush (stdout);");
#else
  mexEvalString("drawnow;");
#endif
}
