// corvane against its former scalar kernel, bit for bit: the stored entries, the column starts and
// the lines printed, on square matrices of any values, any weight and any block end.
#include "frame/numbers.h"
#include "merge/corvane.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/former_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint64_t n = someCount(in, 60);
  const PlainMatrix A = someSquare(in, n, false), B = someSquare(in, n, false);
  const double w = someValue(in);
  // The block end as the gateway makes it from the caller's number, or any 32-bit number.
  const int64_t blockEnd = in.ConsumeBool() ? int32OrLowest(someValue(in)) : in.ConsumeIntegral<int32_t>();
  const uint64_t room = A.ir.size() + B.ir.size();
  OutputArrays expected(n, room), out(n, room);
  former::corvane(A.ir.data(), A.jc.data(), A.pr.data(), B.ir.data(), B.jc.data(), B.pr.data(), n, blockEnd, w,
                 expected.ir.data(), expected.jc.data(), expected.pr.data());
  const StoredResult reference = storedPart(expected);
  corvane(viewOf(A), viewOf(B), blockEnd, w, out.view());
  expectSame(reference, storedPart(out), "corvane");
  return 0;
}
