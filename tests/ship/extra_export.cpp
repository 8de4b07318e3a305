// A second exported function: a plug-in built with it exports more than its entry points.
#include "frame/host.h"

// Does nothing; only its being exported matters.
MEX_ENTRY void mexExtraEntry() {}
