// tessaly5a on every CPU path against its former scalar kernel, bit for bit, on tables of 0 and 1
// mixed with values a caller may pass (NaN, infinities, 2 and -1, values beyond the 32-bit range,
// which make the vector path count a block again) and rooms that may overflow.
#include "similarity/tessaly5a.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/former_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint64_t numNodes = someCount(in, 40), numAttrs = someCount(in, 70);
  const Palette palette = somePalette(in);
  Random random = randomFrom(in);
  const unsigned unusual = in.ConsumeIntegral<uint8_t>();
  std::vector<double> nodeAtts(numNodes * numAttrs);
  for (double& value : nodeAtts) value = random.chance(unusual) ? palette.pick(random) : (double)random.below(2);
  const SimilarityCall call = someSimilarityCall(in, numNodes);
  OutputArrays expected(numNodes, call.room);
  const uint64_t passed = former::tessaly5a(nodeAtts.data(), numNodes, numAttrs, call.threshold, call.nodesToKeep.data(),
                                           call.nodesToKeep.size(), call.room, expected.ir.data(), expected.jc.data(),
                                           expected.pr.data());
  const StoredResult reference = storedPart(expected, passed);
  const MatrixView table = {numNodes, numAttrs, nodeAtts.data(), nullptr, nullptr, nullptr};
  onEveryPath(kTessaly5aKernel, [&](CpuPath path) {
    OutputArrays out(numNodes, call.room);
    const uint64_t returned = tessaly5aOnPath(path, table, NodeList{call.nodesToKeep.data(), call.nodesToKeep.size()},
                                              call.threshold, out.view());
    expectSame(reference, storedPart(out, returned), std::string("tessaly5a ") + cpuPathName(path));
  });
  return 0;
}
