// The normalisation kernels against their former scalar kernels, bit for bit, on counts and
// degrees of any values (NaN, infinities, -0, fractions, negative, beyond the 32-bit range):
// tessaly under any threshold, and Vostrel's kernel on every CPU path.
#include "normalise/divide_by_min_degree.h"
#include "normalise/tessaly.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/former_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint64_t n = someCount(in, 60);
  const PlainMatrix C = someSquare(in, n, in.ConsumeBool());
  const std::vector<double> d = someValues(in, n);
  const double threshold = someThreshold(in);
  const uint64_t room = C.ir.size();

  OutputArrays expected(n, room), out(n, room);
  former::tessaly(C.ir.data(), C.jc.data(), C.pr.data(), d.data(), n, threshold, expected.ir.data(), expected.jc.data(),
                 expected.pr.data());
  const StoredResult similarities = storedPart(expected);
  tessaly(viewOf(C), d.data(), threshold, out.view());
  expectSame(similarities, storedPart(out), "tessaly");

  OutputArrays divided(n, room);
  former::divideByMinDegree(C.ir.data(), C.jc.data(), C.pr.data(), d.data(), n, divided.ir.data(), divided.jc.data(),
                           divided.pr.data());
  const StoredResult quotients = storedPart(divided);
  onEveryPath(kDivideByMinDegreeKernel, [&](CpuPath path) {
    OutputArrays onPath(n, room);
    divideByMinDegreeOnPath(path, viewOf(C), d.data(), onPath.view());
    expectSame(quotients, storedPart(onPath), std::string("Vostrel ") + cpuPathName(path));
  });
  return 0;
}
