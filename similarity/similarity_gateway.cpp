#include "similarity/similarity_gateway.h"

// Raises MATLAB:<word>:<reason> with `message` when `failed` holds; the call ends there.
static void refuseIf(bool failed, const SimilarityModule& module, const char* reason, const char* message) {
  failUnder(failed, module.word, reason, message);
}

// Prints the counts line and raises the count errors: one output and the module's inputs.
static void checkCounts(const SimilarityModule& module, int nlhs, int nrhs) {
  mexPrintf("nlhs = %d, nrhs = %d\n", nlhs, nrhs);
  failIf(nlhs != 1, "MATLAB:tessaly:wrongrhs", "Wrong number of output arguments.");
  failIf(nrhs != (module.roomFromCaller ? 4 : 3), "MATLAB:tessaly:wrongrhs", "Wrong number of input arguments.");
}

// Reads the table in the module's layout, the list (its rows) and the threshold.
static SimilarityInputs readInputs(const SimilarityModule& module, const mxArray* const prhs[]) {
  SimilarityInputs inputs;
  const mxArray* table = prhs[0];
  if (module.layout == kLogicalColumns) {
    inputs.nodeAtts = isFullLogical(table) ? mxGetLogicals(table) : 0;
    inputs.numAttrs = mxGetM(table);
    inputs.numNodes = mxGetN(table);
  } else {
    inputs.nodeAtts = readFullDouble(table);
    inputs.numNodes = mxGetM(table);
    inputs.numAttrs = mxGetN(table);
  }
  inputs.numNodesToKeep = mxGetM(prhs[1]);
  inputs.listReadable = isRealFullDouble(prhs[1]) && mxGetNumberOfElements(prhs[1]) >= inputs.numNodesToKeep;
  inputs.nodesToKeep = inputs.listReadable ? readFullDouble(prhs[1]) : 0;
  inputs.threshold = readNumber(prhs[2]);
  return inputs;
}

// Whether the table has the module's class (an empty double table may have no data pointer).
static bool tableReadable(const SimilarityModule& module, const mxArray* table) {
  return module.layout == kLogicalColumns ? isFullLogical(table) : isRealFullDouble(table);
}

// Whether every input from the threshold on holds a number.
static bool parametersAreNumbers(const mxArray* const prhs[], int nrhs) {
  for (int k = 2; k < nrhs; ++k)
    if (!holdsNumber(prhs[k])) return false;
  return true;
}

// Whether every listed number truncates to a node from 1 to numNodes (not a number fails).
static bool nodesInRange(const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t numNodes) {
  const double pastLast = (double)numNodes + 1.0;
  for (uint64_t k = 0; k < numNodesToKeep; ++k)
    if (!(nodesToKeep[k] >= 1.0 && nodesToKeep[k] < pastLast)) return false;
  return true;
}

// Whether the listed node numbers, truncated, ascend strictly (they are known to be in range).
static bool nodesAscend(const double* nodesToKeep, uint64_t numNodesToKeep) {
  for (uint64_t k = 1; k < numNodesToKeep; ++k)
    if ((int32_t)nodesToKeep[k] <= (int32_t)nodesToKeep[k - 1]) return false;
  return true;
}

// Refuses, under MATLAB:<word>:<reason>, a table of 2^31 or more nodes or attributes and a list
// whose numbers are not finite, out of range or not strictly ascending after truncation.
void refuseSizesAndList(const char* word, uint64_t numNodes, uint64_t numAttrs, const double* nodesToKeep,
                        uint64_t numNodesToKeep) {
  failUnder(!fitsIndexWidth(numNodes) || !fitsIndexWidth(numAttrs), word, "toolarge",
            "Input nodeAtts must have fewer than 2147483648 nodes and attributes; compare smaller tables.");
  failUnder(!nodesInRange(nodesToKeep, numNodesToKeep, numNodes), word, "badnode",
            "Node numbers in nodesToKeep must be finite and lie from 1 to the number of nodes after truncation.");
  failUnder(!nodesAscend(nodesToKeep, numNodesToKeep), word, "notascending",
            "Node numbers in nodesToKeep must ascend strictly after truncation; pass unique(fix(nodesToKeep)).");
}

// Refuses, before the output exists, a call the pass could not run safely: inputs that hold no
// number, a table of the wrong class, a list that is not a real full double array, sizes beyond
// 32-bit positions, node numbers that are not finite, out of range or not strictly ascending
// after truncation, and a capacity no count can hold.
static void refuseBrokenCall(const SimilarityModule& module, const mxArray* const prhs[], int nrhs,
                             const SimilarityInputs& inputs, double capacity) {
  refuseIf(!parametersAreNumbers(prhs, nrhs), module, "notnumber", module.notNumberMessage);
  refuseIf(!tableReadable(module, prhs[0]), module, module.wrongTableReason, module.wrongTableMessage);
  refuseIf(!inputs.listReadable, module, "notlist",
           "Input nodesToKeep must be a real full double column vector of node numbers; convert it with "
           "double(X(:)).");
  refuseSizesAndList(module.word, inputs.numNodes, inputs.numAttrs, inputs.nodesToKeep, inputs.numNodesToKeep);
  refuseIf(!isCountable(capacity), module, "badcapacity",
           "Input percentSparse must give room for 0 up to 2^64 entries; pass a fraction of all pairs, such as "
           "0.1.");
}

// The steps before the pass, and the output with the module's room.
SparseView openSimilarityCall(const SimilarityModule& module, int nlhs, mxArray* plhs[], int nrhs,
                              const mxArray* prhs[], SimilarityInputs& inputs) {
  checkCounts(module, nlhs, nrhs);
  inputs = readInputs(module, prhs);
  const double fraction = module.roomFromCaller ? readNumber(prhs[3]) : module.fixedFraction;
  // The square of the list's length is formed in 64 bits, then converted and multiplied.
  const uint64_t listed = inputs.numNodesToKeep;
  const double capacity = (double)(listed * listed) * fraction;
  const uint64_t estNNZ = capacityFromFloat(capacity);
  mexPrintf("nodeAtts dimensions: numNodes=%d, numAttrs=%d\n", low32(inputs.numNodes), low32(inputs.numAttrs));
  if (module.roomFromCaller)
    mexPrintf("params: threshold = %f, percentSparse = %f, numNodesToKeep= %d, estNNZ = %d\n", inputs.threshold,
              fraction, low32(listed), low32(estNNZ));
  else
    mexPrintf("params: threshold = %f, numNodesToKeep= %d, estNNZ = %d\n", inputs.threshold, low32(listed),
              low32(estNNZ));
  refuseBrokenCall(module, prhs, nrhs, inputs, capacity);
  // A fixed fraction of all pairs is less than the diagonal for lists of one to three nodes, and
  // the diagonal is stored whenever the threshold is below 1: room for at least one entry a node.
  const uint64_t room = module.roomFromCaller || estNNZ > listed ? estNNZ : listed;
  // No result holds more than every ordered pair of listed nodes: a host that fills and copies the
  // whole room must never be asked for more.
  return createOutput(plhs, inputs.numNodes, room < listed * listed ? room : listed * listed, module.word);
}

// After the pass: reports a result that needed more room than it had.
void refuseOverflow(const SimilarityModule& module, uint64_t needed, uint64_t room) {
  if (needed <= room) return;
  mexPrintf("%s: the result needs %.0f entries but has room for %d\n", module.word, (double)needed, low32(room));
  refuseIf(true, module, "noroom", module.noRoomAdvice);
}
