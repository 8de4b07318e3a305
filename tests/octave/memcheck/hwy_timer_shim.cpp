// Preloaded into Octave under valgrind: stands in for the timer calibration that Highway, a library
// behind Octave's image reading, runs when it is loaded. The calibration uses rdtscp, which
// valgrind cannot run on processors without it; Octave never needs the timer.
#include <stdint.h>

namespace hwy {
namespace platform {

// The timer's resolution in ticks; any positive number will do.
uint64_t TimerResolution() { return 1; }

}  // namespace platform
}  // namespace hwy
