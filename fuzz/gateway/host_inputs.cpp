#include "fuzz/gateway/host_inputs.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

// The most elements of a full input and the most columns and stored entries of a sparse one.
const uint64_t kMostElements = 1 << 14;
const uint64_t kMostColumns = 1 << 12;
const size_t kMostStored = 1 << 12;

// Sizes no module can index, for the size checks: only on arrays that then store nothing.
const uint64_t kHugeSizes[] = {2147483647u, 2147483648u, 4294967296u, 4294967299u, UINT64_C(1) << 40};

// The shared sizes of one call.
struct Sizes {
  uint64_t of[5];
};

Sizes someSizes(FuzzedDataProvider& in) {
  // Mostly few nodes: the similarity modules take time in the square of the listed nodes.
  const uint64_t nodes = in.ConsumeIntegralInRange<uint64_t>(0, in.ConsumeBool() ? 12 : 34);
  const uint64_t listed = in.ConsumeIntegralInRange<uint64_t>(0, nodes + 2);
  const unsigned wide = in.ConsumeIntegralInRange<unsigned>(0, 31);
  const uint64_t attributes = wide == 0 ? in.ConsumeIntegralInRange<uint64_t>(0, 4200)
                              : wide < 6 ? in.ConsumeIntegralInRange<uint64_t>(0, 300)
                                         : in.ConsumeIntegralInRange<uint64_t>(0, 70);
  return Sizes{{nodes, listed, attributes, 1, 2}};
}

// A size: mostly the plan's, sometimes small, 0 or one no module can index.
uint64_t someSize(FuzzedDataProvider& in, const Sizes& sizes, Dimension planned) {
  const unsigned pick = in.ConsumeIntegralInRange<unsigned>(0, 15);
  if (pick < 11) return sizes.of[planned];
  if (pick < 13) return in.ConsumeIntegralInRange<uint64_t>(0, 9);
  if (pick < 14) return 0;
  return kHugeSizes[in.ConsumeIntegralInRange<size_t>(0, 4)];
}

// A value converted to an integer type, saturating (NaN as 0).
template <typename Integer>
Integer saturated(double value) {
  const double lowest = (double)INT64_MIN, highest = 9223372036854775808.0;
  if (!(value == value)) return 0;
  const double clamped = value < lowest ? lowest : value;
  if (clamped >= highest) return (Integer)UINT64_MAX;
  return (Integer)(int64_t)clamped;
}

// Writes `value` as element k of a block of class `kind`.
void store(void* block, mxClassID kind, size_t k, double value, Random& random) {
  switch (kind) {
    case mxDOUBLE_CLASS: ((double*)block)[k] = value; return;
    case mxSINGLE_CLASS: ((float*)block)[k] = fabs(value) > 3e38 ? (float)(value > 0 ? INFINITY : -INFINITY) : (float)value; return;
    case mxLOGICAL_CLASS: ((uint8_t*)block)[k] = someByte(random); return;
    case mxINT8_CLASS: ((int8_t*)block)[k] = saturated<int8_t>(value); return;
    case mxUINT8_CLASS: ((uint8_t*)block)[k] = saturated<uint8_t>(value); return;
    case mxINT16_CLASS: ((int16_t*)block)[k] = saturated<int16_t>(value); return;
    case mxCHAR_CLASS: case mxUINT16_CLASS: ((uint16_t*)block)[k] = saturated<uint16_t>(value); return;
    case mxINT32_CLASS: ((int32_t*)block)[k] = saturated<int32_t>(value); return;
    case mxUINT32_CLASS: ((uint32_t*)block)[k] = saturated<uint32_t>(value); return;
    case mxINT64_CLASS: ((int64_t*)block)[k] = saturated<int64_t>(value); return;
    case mxUINT64_CLASS: ((uint64_t*)block)[k] = saturated<uint64_t>(value); return;
    default: return;
  }
}

// Fills the value blocks of an array from the palette.
void fillValues(mxArray* array, const Palette& palette, Random& random) {
  for (size_t k = 0; k < array->elements; ++k) {
    store(array->real, array->classId, k, palette.pick(random), random);
    if (array->imag) store(array->imag, array->classId, k, palette.pick(random), random);
  }
}

// A sparse m-by-n array of `kind`, its room the entries it stores or a little more.
mxArray* sparseInput(FuzzedDataProvider& in, mxClassID kind, bool complex, uint64_t m, uint64_t n, bool square) {
  if (n > kMostColumns) n = 0;
  const unsigned density = in.ConsumeIntegral<uint8_t>();
  const bool symmetric = square && in.ConsumeBool();
  const Palette palette = somePalette(in);
  Random random = randomFrom(in);
  const SparsePattern pattern = somePattern(random, m, n, density, symmetric, kMostStored);
  const size_t stored = pattern.ir.size();
  const size_t room = stored + in.ConsumeIntegralInRange<size_t>(0, 2);
  mxArray* array = newHostArray(kind, m, n, true, complex, room);
  std::copy(pattern.jc.begin(), pattern.jc.end(), array->jc);
  std::copy(pattern.ir.begin(), pattern.ir.end(), array->ir);
  fillValues(array, palette, random);
  return array;
}

// The node numbers of a list: mostly strictly ascending and in range, sometimes with one number
// changed; else values from the palette.
void fillNodeList(FuzzedDataProvider& in, mxArray* array, uint64_t numNodes, Random& random) {
  const unsigned form = in.ConsumeIntegralInRange<unsigned>(0, 7);
  if (form >= 6) return;
  double* values = (double*)array->real;
  const uint64_t count = array->elements < numNodes ? array->elements : numNodes;
  const std::vector<double> nodes = ascendingNodes(random, numNodes, count);
  std::copy(nodes.begin(), nodes.end(), values);
  if (form >= 4 && array->elements > 0) values[random.below(array->elements)] = someValue(in);
}

// A full m-by-n array of `kind`.
mxArray* fullInput(FuzzedDataProvider& in, mxClassID kind, bool complex, uint64_t m, uint64_t n, bool nodeList,
                   uint64_t numNodes) {
  if (m != 0 && n > kMostElements / m) n = 0;
  mxArray* array = newHostArray(kind, m, n, false, complex, 0);
  const Palette palette = somePalette(in);
  Random random = randomFrom(in);
  fillValues(array, palette, random);
  if (nodeList && kind == mxDOUBLE_CLASS) fillNodeList(in, array, numNodes, random);
  // Now and then an array of pages: its columns are those of all its pages.
  if (in.ConsumeIntegralInRange<unsigned>(0, 15) == 0) array->dimensions = 3;
  return array;
}

// Words a module may take as text, measures and options among them, in any case now and then.
mxArray* wordInput(FuzzedDataProvider& in) {
  static const char* const kWords[] = {"jaccard", "overlap", "dice", "cosine", "hubDepressed", "lhn", "common",
                                       "adamicAdar", "resourceAllocation", "simpleMatching", "Threshold", "TopK",
                                       "Self", "NonEdges", "Weighted", "Columns", "Nodes", "Threads", "Direction",
                                       "Rows", "Pairs", "outgoing", "in", "both", "paths", "%s%n", ""};
  const size_t count = sizeof kWords / sizeof kWords[0];
  std::string word = kWords[in.ConsumeIntegralInRange<size_t>(0, count - 1)];
  if (in.ConsumeIntegralInRange<unsigned>(0, 7) == 0)
    for (char& letter : word) letter = (char)(letter >= 'a' && letter <= 'z' ? letter - 32 : letter);
  if (in.ConsumeIntegralInRange<unsigned>(0, 15) == 0 && !word.empty()) word.pop_back();
  mxArray* array = newHostArray(mxCHAR_CLASS, word.empty() ? 0 : 1, word.size(), false, false, 0);
  for (size_t k = 0; k < word.size(); ++k) ((uint16_t*)array->real)[k] = (uint8_t)word[k];
  return array;
}

// An input of `kind` shaped m-by-n.
mxArray* inputOf(FuzzedDataProvider& in, InputKind kind, uint64_t m, uint64_t n, const InputPlan& plan,
                 uint64_t numNodes) {
  static const mxClassID kIntegers[] = {mxINT8_CLASS, mxUINT8_CLASS, mxINT16_CLASS, mxUINT16_CLASS,
                                        mxINT32_CLASS, mxUINT32_CLASS, mxINT64_CLASS, mxUINT64_CLASS};
  const bool square = plan.rows == plan.columns && m == n;
  switch (kind) {
    case kSparseDouble: return sparseInput(in, mxDOUBLE_CLASS, false, m, n, square);
    case kSparseLogical: return sparseInput(in, mxLOGICAL_CLASS, false, m, n, square);
    case kSparseComplex: return sparseInput(in, mxDOUBLE_CLASS, true, m, n, square);
    case kFullDouble: return fullInput(in, mxDOUBLE_CLASS, false, m, n, plan.nodeList, numNodes);
    case kFullComplex: return fullInput(in, mxDOUBLE_CLASS, true, m, n, false, numNodes);
    case kFullLogical: return fullInput(in, mxLOGICAL_CLASS, false, m, n, false, numNodes);
    case kInteger: return fullInput(in, kIntegers[in.ConsumeIntegralInRange<size_t>(0, 7)], false, m, n, false, numNodes);
    case kSingle: return fullInput(in, mxSINGLE_CLASS, false, m, n, false, numNodes);
    case kChar: return fullInput(in, mxCHAR_CLASS, false, m, n, false, numNodes);
    case kCell: return fullInput(in, mxCELL_CLASS, false, m, n, false, numNodes);
    case kStruct: return fullInput(in, mxSTRUCT_CLASS, false, m, n, false, numNodes);
    case kWord: return wordInput(in);
    default: return newHostArray(mxDOUBLE_CLASS, 0, 0, false, false, 0);
  }
}

}  // namespace

std::vector<mxArray*> someInputs(FuzzedDataProvider& in, const ModulePlan& plan, int nrhs) {
  const Sizes sizes = someSizes(in);
  std::vector<mxArray*> inputs;
  for (int k = 0; k < nrhs; ++k) {
    const InputPlan fallback = {{kFullDouble}, 1, kOne, kOne, false};
    const InputPlan& planned = k < plan.nrhs ? plan.inputs[k] : fallback;
    const bool asPlanned = in.ConsumeIntegralInRange<unsigned>(0, 15) < 13;
    const InputKind kind = asPlanned ? planned.kinds[in.ConsumeIntegralInRange<int>(0, planned.kindCount - 1)]
                                     : (InputKind)in.ConsumeIntegralInRange<int>(0, kInputKinds - 1);
    const uint64_t m = someSize(in, sizes, planned.rows), n = someSize(in, sizes, planned.columns);
    inputs.push_back(inputOf(in, kind, m, n, planned, sizes.of[kNodes]));
  }
  return inputs;
}

// Appends the bytes of a block.
static void append(std::vector<uint8_t>& bytes, const void* block, size_t size) {
  if (block) bytes.insert(bytes.end(), (const uint8_t*)block, (const uint8_t*)block + size);
}

std::vector<uint8_t> snapshotOf(const mxArray* array) {
  std::vector<uint8_t> bytes;
  append(bytes, array, sizeof *array);
  const size_t valueBytes = array->elements * elementBytes(array->classId);
  append(bytes, array->real, valueBytes);
  append(bytes, array->imag, valueBytes);
  if (array->sparse) {
    append(bytes, array->ir, array->nzmax * sizeof(uint64_t));
    append(bytes, array->jc, (array->n + 1) * sizeof(uint64_t));
  }
  return bytes;
}
