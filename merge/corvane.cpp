#include "merge/corvane.h"

#include "frame/host.h"
#include "frame/progress.h"

// The row a side shows once its column has no entries left: above every real row.
const int32_t kExhausted = 0x7fffffff;

// Where a result goes and how far it has got: the output's arrays and the running count.
struct MergeOutput {
  uint64_t* ir;
  double* pr;
  int32_t count;
};

// Writes v at the running count and moves the count on only when v > 0: whether a value is kept
// follows no pattern, so the choice is made without a branch. A value not kept is overwritten by
// the next; the count never passes the entries read, so this stays within the room.
static inline void keepPositive(MergeOutput& out, int32_t row, double v) {
  out.pr[out.count] = v;
  out.ir[out.count] = widen(row);
  out.count += v > 0.0;
}

// Prints the progress line for every millionth stored entry the count has reached since the
// last one printed, `nextLine`. Called after each column: the lines come out as they would
// entry by entry, since nothing else is printed between them, without a test per entry.
static void reportProgressTo(int32_t count, int64_t& nextLine) {
  for (; count >= nextLine; nextLine += 1000000) mexPrintf("corvane nnz=%d M\n", (int32_t)(nextLine / 1000000));
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
  // An exhausted side reads these instead of its arrays, so that every load is safe to make.
  const uint64_t exhaustedRow = (uint64_t)kExhausted;
  const double noValue = 0.0;
  while (a < aInside || b < bInside) {
    const bool restA = a < aInside, restB = b < bInside;
    const int32_t rowA = low32(*(restA ? irA + a : &exhaustedRow)), rowB = low32(*(restB ? irB + b : &exhaustedRow));
    const double loadedA = *(restA ? prA + a : &noValue), loadedB = *(restB ? prB + b : &noValue);
    const bool fromA = rowA <= rowB, fromB = rowB <= rowA;
    a += fromA, b += fromB;
    keepPositive(out, fromA ? rowA : rowB, (fromA ? loadedA : 0.0) * oneMinusW + (fromB ? loadedB : 0.0) * w);
  }
  copyPositive(irA, prA, a, aEnd, out);
}

// Merges A and B column by column into S: (1 - w) * A + w * B inside the leading blockEnd-by-blockEnd
// block, A alone outside it, storing only results greater than 0.
void corvane(const MatrixView& A, const MatrixView& B, int64_t blockEnd, double w, const SparseView& S) {
  mexPrintf("starting corvane ...\n");
  const uint64_t *irA = A.ir, *jcA = A.jc, *irB = B.ir, *jcB = B.jc;
  const double *prA = A.pr, *prB = B.pr;
  const uint64_t n = A.n;
  uint64_t* jcS = S.jc;
  MergeOutput out = {S.ir, S.pr, 0};
  int64_t nextLine = 1000000;
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
    reportProgressTo(out.count, nextLine);
  }
  jcS[n] = widen(out.count);
  mexPrintf("end corvane => nnz=%d\n", out.count);
}
