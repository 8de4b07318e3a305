// The similarity blocks of tessaly5 and tessaly5b over a logical table, one per code path.
#pragma once

#include "frame/cpu_paths.h"
#include "similarity/attribute_pass.h"

// Sets `kernel`'s block for `path`, and the count of its column the block needs, for the listed
// nodes of the numAttrs-by-numNodes logical table nodeAtts: a vector path needs nodes of at least
// one whole vector, and AVX2 a faster block where every listed byte is 0 or 1.
void chooseLogicalBlock(CpuPath path, const MatrixView& nodeAtts, const NodeList& nodesToKeep,
                        SimilarityKernel& kernel);
