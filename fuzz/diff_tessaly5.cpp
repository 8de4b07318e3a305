// tessaly5 and tessaly5b on every CPU path against their former scalar kernels, bit for bit: the
// stored entries, the column starts, the lines printed and the count of pairs that passed, on
// logical tables of any bytes and rooms that may overflow.
#include "similarity/tessaly5.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/former_kernels.h"

typedef uint64_t (*LogicalKernel)(const uint8_t*, uint64_t, uint64_t, double, const double*, uint64_t, uint64_t,
                                  uint64_t*, uint64_t*, double*);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const bool fixedRoom = in.ConsumeBool();
  const uint64_t numNodes = someCount(in, 40);
  // Past 4064 bytes a node the vector paths fold their byte counters.
  const uint64_t numAttrs = in.ConsumeIntegralInRange<uint64_t>(0, in.ConsumeIntegralInRange<int>(0, 15) ? 300 : 4200);
  Random random = randomFrom(in);
  std::vector<uint8_t> nodeAtts(numNodes * numAttrs);
  for (uint8_t& byte : nodeAtts) byte = someByte(random);
  const SimilarityCall call = someSimilarityCall(in, numNodes);
  const LogicalKernel former = fixedRoom ? former::tessaly5b : former::tessaly5;
  OutputArrays expected(numNodes, call.room);
  const uint64_t passed = former(nodeAtts.data(), numNodes, numAttrs, call.threshold, call.nodesToKeep.data(),
                                 call.nodesToKeep.size(), call.room, expected.ir.data(), expected.jc.data(),
                                 expected.pr.data());
  const StoredResult reference = storedPart(expected, passed);
  const MatrixView table = {numAttrs, numNodes, nullptr, nodeAtts.data(), nullptr, nullptr};
  onEveryPath(kTessaly5Kernel, [&](CpuPath path) {
    OutputArrays out(numNodes, call.room);
    const uint64_t returned = (fixedRoom ? tessaly5bOnPath : tessaly5OnPath)(
        path, table, NodeList{call.nodesToKeep.data(), call.nodesToKeep.size()}, call.threshold, out.view());
    expectSame(reference, storedPart(out, returned), std::string(fixedRoom ? "tessaly5b " : "tessaly5 ") + cpuPathName(path));
  });
  return 0;
}
