// Division of common-neighbour counts by the smaller degree of their two nodes.
#pragma once

#include "frame/cpu_paths.h"
#include "frame/sparse_view.h"

// Divides every stored entry C(r, j) of the n-by-n sparse C by the smaller degree of r and j; S
// gets C's structure whole. Each degree is truncated toward zero, the row degree first; the
// column degree replaces it only when the truncated row degree exceeds it. A degree that is not
// a number truncates to 0, one beyond the 32-bit range to the nearest end of it; a column degree
// that is not a number never replaces the row degree, since no number exceeds it. A divisor of 0
// gives +Inf, -Inf, or NaN for a stored 0.
void divideByMinDegree(const MatrixView& C, const double* d, const SparseView& S);

// divideByMinDegree on a code path of its own (kDivideByMinDegreeKernel in frame/cpu_paths.h).
void divideByMinDegreeOnPath(CpuPath path, const MatrixView& C, const double* d, const SparseView& S);
