// The x86-64 vector intrinsics, for the kernel files that have an SSE2 or AVX2 path; on other
// processors nothing (their kernels compile the portable path alone).
#pragma once

#include "frame/portable.h"

#if defined(NETSPARSE_X86_64)
#include <immintrin.h>
#endif
