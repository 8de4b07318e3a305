// Weighted merge of two square sparse matrices of the same size.
#pragma once

#include <stdint.h>

#include "frame/sparse_view.h"

// Merges the n-by-n sparse A and B column by column into S: (1 - w) * A + w * B inside the
// leading blockEnd-by-blockEnd block, A alone outside it, storing only results greater than 0.
// S has room for every entry of A and B.
void corvane(const MatrixView& A, const MatrixView& B, int64_t blockEnd, double w, const SparseView& S);
