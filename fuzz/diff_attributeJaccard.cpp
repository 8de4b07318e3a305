// attributeJaccard on every CPU path and table storage against tessaly5's former scalar kernel on
// the table of held attributes (nonzero entries), bit for bit, with room for exactly what it
// stores, on as many threads as the fuzzer picks (a thread for every unit of work); a limit of
// entries that the result passes gives no result and frees the workspace.
#include "attributes/attribute_pairs.h"
#include "attributes/attribute_store.h"
#include "fuzz/support/kernel_results.h"
#include "tests/reference/former_kernels.h"

namespace {

// A table in all four storages (full logical, full double, sparse logical, sparse double): stored
// entries of the sparse ones include some not held.
struct Table {
  uint64_t numAttrs, numNodes;
  std::vector<uint8_t> held, bytes, storedBytes;
  std::vector<double> values, storedValues;
  std::vector<uint64_t> ir, jc{0};
  MatrixView view(int storage) const {
    const bool sparse = storage >= 2;
    const uint8_t* logicals[] = {bytes.data(), nullptr, storedBytes.data(), nullptr};
    const double* doubles[] = {nullptr, values.data(), nullptr, storedValues.data()};
    return MatrixView{numAttrs, numNodes, doubles[storage], logicals[storage], sparse ? ir.data() : nullptr,
                      sparse ? jc.data() : nullptr};
  }
};

Table someTable(FuzzedDataProvider& in) {
  Table table;
  table.numNodes = someCount(in, 40);
  table.numAttrs = in.ConsumeIntegralInRange<uint64_t>(0, in.ConsumeIntegralInRange<int>(0, 15) ? 200 : 2200);
  const unsigned density = in.ConsumeIntegral<uint8_t>();
  const Palette palette = somePalette(in);
  Random random = randomFrom(in);
  for (uint64_t node = 0; node < table.numNodes; ++node) {
    for (uint64_t a = 0; a < table.numAttrs; ++a) {
      const double value = random.chance(density) ? palette.pick(random) : (random.chance(128) ? 0.0 : -0.0);
      const uint8_t byte = value != 0 ? (uint8_t)(1 + random.below(255)) : 0;
      table.held.push_back(value != 0);
      table.bytes.push_back(byte);
      table.values.push_back(value);
      if (value == 0 && !random.chance(32)) continue;
      table.ir.push_back(a);
      table.storedBytes.push_back(byte);
      table.storedValues.push_back(value);
    }
    table.jc.push_back(table.ir.size());
  }
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const Table table = someTable(in);
  SimilarityCall call = someSimilarityCall(in, table.numNodes);
  const uint64_t listed = call.nodesToKeep.size();
  call.room = listed * listed;
  OutputArrays expected(table.numNodes, call.room);
  const uint64_t passed = former::tessaly5(table.held.data(), table.numNodes, table.numAttrs, call.threshold,
                                          call.nodesToKeep.data(), listed, call.room, expected.ir.data(),
                                          expected.jc.data(), expected.pr.data());
  StoredResult reference = storedPart(expected, passed);
  reference.printed = "end attributeJaccard => nnz=" + std::to_string(passed) + "\n";
  const uint64_t maxEntries = in.ConsumeBool() ? kMaxEntries : in.ConsumeIntegralInRange<uint64_t>(0, call.room);
  std::vector<int32_t> nodes;
  for (double number : call.nodesToKeep) nodes.push_back((int32_t)number - 1);
  onEveryPath(kAttributePairsKernel, [&](CpuPath path) {
    const int storage = in.ConsumeIntegralInRange<int>(0, 3);
    const std::string what =
        std::string("attributeJaccard ") + cpuPathName(path) + " storage " + std::to_string(storage);
    AttributeRequest request = attributeJaccardRequest(call.threshold, table.numNodes, maxEntries, path);
    request.pairs.threads = in.ConsumeIntegralInRange<int32_t>(1, 4);
    request.workPerThread = 1;
    AttributePairs found = findAttributePairs(request, table.view(storage), nodes.data(), listed);
    expectThat(found.overflowed == (passed > maxEntries), what + " overflows wrongly");
    if (found.overflowed) {
      expectThat(testhostFreeWorkspace() == 0, what + " left workspace");
      return (void)testhostTakeOutput();
    }
    expectThat(found.entries == passed, what + " needs other room than it stores");
    OutputArrays out(table.numNodes, found.entries);
    storeAttributePairs(found, out.view());
    expectThat(testhostFreeWorkspace() == 0, what + " left workspace");
    expectSame(reference, storedPart(out, passed), what);
  });
  return 0;
}
