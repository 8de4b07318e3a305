#include "merge/corvane.h"

#include "frame/host.h"
#include "frame/sparse_view.h"

// The row a side shows once its column has no entries left: above every real row.
const int32_t kExhausted = 0x7fffffff;

// Where a result goes and how far it has got: the output's arrays, the running count and the
// stored entries left until the next progress line.
struct MergeOutput {
  uint64_t* ir;
  double* pr;
  int32_t count;
  int32_t untilProgress;
};

// Writes v at the running count and moves the count on only when v > 0: whether a value is kept
// follows no pattern, so the choice is made without a branch. A value not kept is overwritten by
// the next; the count never passes the entries read, so this stays within the room. Prints the
// progress line at each millionth stored entry, counting down rather than dividing.
static inline void keepPositive(MergeOutput& out, int32_t row, double v) {
  out.pr[out.count] = v;
  out.ir[out.count] = widen(row);
  const int32_t kept = v > 0.0;
  out.count += kept;
  out.untilProgress -= kept;
  if (out.untilProgress > 0) return;
  mexPrintf("corvane nnz=%d M\n", out.count / 1000000);
  out.untilProgress = 1000000;
}

// A's positive entries at positions a to aEnd - 1, where B cannot reach.
static void copyPositive(const uint64_t* irA, const double* prA, int32_t a, int32_t aEnd, MergeOutput& out) {
  for (; a < aEnd; ++a) keepPositive(out, low32(irA[a]), prA[a]);
}

// The first position from `start` to `end` - 1 whose row, read by its low 32 bits, is not below
// `bound` as an unsigned 64-bit number; `end` when there is none.
static int32_t firstOutside(const uint64_t* ir, int32_t start, int32_t end, uint64_t bound) {
  while (start < end && widen(low32(ir[start])) < bound) ++start;
  return start;
}

// Merges a column inside the block: (1 - w) * a + w * b over rows below the block's end, where
// a missing entry counts as 0.0, then A's entries alone below it.
static void mergeColumn(const uint64_t* irA, const double* prA, int32_t a, int32_t aEnd, const uint64_t* irB,
                        const double* prB, int32_t b, int32_t bEnd, uint64_t bound, double w, double oneMinusW,
                        MergeOutput& out) {
  const int32_t aInside = firstOutside(irA, a, aEnd, bound), bInside = firstOutside(irB, b, bEnd, bound);
  while (a < aInside || b < bInside) {
    const int32_t rowA = a < aInside ? low32(irA[a]) : kExhausted;
    const int32_t rowB = b < bInside ? low32(irB[b]) : kExhausted;
    const bool fromA = rowA <= rowB, fromB = rowB <= rowA;
    const double valueA = fromA ? prA[a] : 0.0, valueB = fromB ? prB[b] : 0.0;
    a += fromA, b += fromB;
    keepPositive(out, fromA ? rowA : rowB, valueA * oneMinusW + valueB * w);
  }
  copyPositive(irA, prA, a, aEnd, out);
}

// Merges A and B column by column into S: (1 - w) * A + w * B inside the leading blockEnd-by-blockEnd
// block, A alone outside it, storing only results greater than 0.
void corvane(const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB,
             const uint64_t* jcB, const double* prB, uint64_t n, int64_t blockEnd, double w,
             uint64_t* irS, uint64_t* jcS, double* prS) {
  mexPrintf("starting corvane ...\n");
  MergeOutput out = {irS, prS, 0, 1000000};
  const double oneMinusW = 1.0 - w;
  // A negative end, widened with its sign and compared as unsigned, lies above every row and column.
  const uint64_t bound = (uint64_t)blockEnd;
  for (int32_t j = 0; (uint64_t)(int64_t)j < n; ++j) {
    jcS[j] = widen(out.count);
    const int32_t a = low32(jcA[j]), aEnd = low32(jcA[j + 1]);
    if (widen(j) < bound)
      mergeColumn(irA, prA, a, aEnd, irB, prB, low32(jcB[j]), low32(jcB[j + 1]), bound, w, oneMinusW, out);
    else
      copyPositive(irA, prA, a, aEnd, out);
  }
  jcS[n] = widen(out.count);
  mexPrintf("end corvane => nnz=%d\n", out.count);
}
