// tessaly against its former scalar kernel, bit for bit, on counts and degrees of any values
// (NaN, infinities, -0, negative, beyond the 32-bit range) and any threshold.
#include "normalise/tessaly.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/today_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  keepPrinted(true);
  const uint64_t n = someCount(in, 60);
  const PlainMatrix C = someSquare(in, n, in.ConsumeBool());
  const std::vector<double> d = someValues(in, n);
  const double threshold = someThreshold(in);
  OutputArrays expected(n, C.ir.size()), out(n, C.ir.size());
  today::tessaly(C.ir.data(), C.jc.data(), C.pr.data(), d.data(), n, threshold, expected.ir.data(), expected.jc.data(),
                 expected.pr.data());
  const StoredResult reference = storedPart(expected);
  tessaly(C.ir.data(), C.jc.data(), C.pr.data(), d.data(), n, threshold, out.ir.data(), out.jc.data(), out.pr.data());
  expectSame(reference, storedPart(out), "tessaly");
  return 0;
}
