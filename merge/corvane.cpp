#include "merge/corvane.h"

#include "frame/host.h"
#include "frame/progress.h"
#include "frame/sparse_view.h"

// The row a side shows once its column has no entries left: above every real row.
const int32_t kExhausted = 0x7fffffff;

// Merges A and B column by column into S: (1 - w) * A + w * B inside the leading blockEnd-by-blockEnd
// block, A alone outside it, storing only results greater than 0.
void corvane(const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB,
             const uint64_t* jcB, const double* prB, uint64_t n, int64_t blockEnd, double w,
             uint64_t* irS, uint64_t* jcS, double* prS) {
  const ProgressLine progress = {1000000, 1000000, "corvane nnz=%d M\n"};
  mexPrintf("starting corvane ...\n");
  int32_t count = 0;
  const double oneMinusW = 1.0 - w;
  // A negative end, widened with its sign and compared as unsigned, lies above every row and column.
  const uint64_t bound = (uint64_t)blockEnd;
  for (int32_t j = 0; (uint64_t)(int64_t)j < n; ++j) {
    jcS[j] = widen(count);
    int32_t a = low32(jcA[j]), aEnd = low32(jcA[j + 1]);
    int32_t b = low32(jcB[j]), bEnd = low32(jcB[j + 1]);
    const bool columnInBlock = widen(j) < bound;
    while (a < aEnd || b < bEnd) {
      const int32_t rowA = a < aEnd ? low32(irA[a]) : kExhausted;
      const int32_t rowB = b < bEnd ? low32(irB[b]) : kExhausted;
      const int32_t row = rowA < rowB ? rowA : rowB;
      const double valueA = rowA == row ? prA[a++] : 0.0;
      const double valueB = rowB == row ? prB[b++] : 0.0;
      double v = valueA;
      if (columnInBlock && widen(row) < bound) v = valueA * oneMinusW + valueB * w;
      if (v > 0.0) {
        prS[count] = v;
        irS[count] = widen(row);
        ++count;
        reportProgress(progress, count);
      }
    }
  }
  jcS[n] = widen(count);
  mexPrintf("end corvane => nnz=%d\n", count);
}
