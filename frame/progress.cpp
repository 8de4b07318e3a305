#include "frame/host.h"
#include "frame/progress.h"

// Prints the progress line when a just-stored entry brings the count to a multiple of its step.
void reportProgress(const ProgressLine& progress, int32_t storedCount) {
  if (storedCount % progress.step == 0) mexPrintf(progress.line, storedCount / progress.unit);
}
