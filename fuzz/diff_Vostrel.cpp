// Vostrel's kernel on every CPU path against its former scalar kernel, bit for bit, on counts and
// degrees of any values (NaN, infinities, -0, fractions, beyond the 32-bit range).
#include "normalise/divide_by_min_degree.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/today_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  keepPrinted(true);
  const uint64_t n = someCount(in, 60);
  const PlainMatrix C = someSquare(in, n, in.ConsumeBool());
  const std::vector<double> d = someValues(in, n);
  OutputArrays expected(n, C.ir.size());
  today::divideByMinDegree(C.ir.data(), C.jc.data(), C.pr.data(), d.data(), n, expected.ir.data(), expected.jc.data(),
                           expected.pr.data());
  const StoredResult reference = storedPart(expected);
  onEveryPath([&](CpuPath path) {
    OutputArrays out(n, C.ir.size());
    divideByMinDegreeOnPath(path, C.ir.data(), C.jc.data(), C.pr.data(), d.data(), n, out.ir.data(), out.jc.data(),
                            out.pr.data());
    expectSame(reference, storedPart(out), std::string("Vostrel ") + cpuPathName(path));
  });
  return 0;
}
