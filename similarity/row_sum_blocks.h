// The similarity blocks of tessaly5a over a numeric table with one row per node, one per code path.
#pragma once

#include "frame/cpu_paths.h"
#include "similarity/attribute_pass.h"

// The block of `path` (kTessaly5aKernel's paths in frame/cpu_paths.h).
SimilarityBlock rowSumBlockOf(CpuPath path);
