// Division of common-neighbour counts by the smaller degree of their two nodes.
#pragma once

#include <stdint.h>

#include "frame/cpu_dispatch.h"

// Divides every stored entry C(r, j) by the smaller degree of r and j; S gets C's structure whole.
// Each degree is truncated toward zero, the row degree first; the column degree replaces it only
// when the truncated row degree exceeds it. A degree that is not a number truncates to 0, one
// beyond the 32-bit range to the nearest end of it; a column degree that is not a number never
// replaces the row degree, since no number exceeds it. A divisor of 0 gives +Inf, -Inf, or NaN for a stored 0.
void divideByMinDegree(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d,
                       uint64_t n, uint64_t* irS, uint64_t* jcS, double* prS);

// divideByMinDegree on a code path of the caller's choice, one `cpuPathRuns` allows.
void divideByMinDegreeOnPath(CpuPath path, const uint64_t* irC, const uint64_t* jcC, const double* prC,
                             const double* d, uint64_t n, uint64_t* irS, uint64_t* jcS, double* prS);
