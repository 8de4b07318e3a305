// Weighted merge of two square sparse matrices of the same size.
#pragma once

#include <stdint.h>

// Merges A and B column by column into S: (1 - w) * A + w * B inside the leading blockEnd-by-blockEnd
// block, A alone outside it, storing only results greater than 0.
void corvane(const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB,
             const uint64_t* jcB, const double* prB, uint64_t n, int64_t blockEnd, double w,
             uint64_t* irS, uint64_t* jcS, double* prS);
