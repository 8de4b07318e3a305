// The second entry point of a macOS or Linux plug-in: MATLAB asks it which release's interface it
// was built against before it calls mexFunction.
#include "frame/host.h"

// Writes the release the plug-in is built for (R2017b, 0x2017B) and the array interface it
// targets (0); reads nothing.
MEX_ENTRY void mexfilerequiredapiversion(unsigned int* buildRelease, unsigned int* targetApiRelease) {
  *buildRelease = 0x2017B;
  *targetApiRelease = 0;
}
