// What the attribute pass and its packed rows share: the blocks of listed row nodes a column is
// compared with, and a list position's node.
#pragma once

#include <stdint.h>

#include "frame/numbers.h"

// How many row nodes of one column a similarity block takes in one pass over the column's values.
const int kRowsPerBlock = 16;

// List position k's node number truncated toward zero, as a 0-based row or column.
inline int32_t listedNode(const double* nodesToKeep, int32_t k) { return saturatingInt32(nodesToKeep[k]) - 1; }
