#include "similarity/similarity_gateway.h"

// Prints the counts line and raises the count errors: one output and the module's inputs.
static void checkCounts(const SimilarityModule& module, int nlhs, int nrhs) {
  mexPrintf("nlhs = %d, nrhs = %d\n", nlhs, nrhs);
  failIf(nlhs != 1, "tessaly", "wrongrhs", "Wrong number of output arguments.");
  failIf(nrhs != (module.roomFromCaller ? 4 : 3), "tessaly", "wrongrhs", "Wrong number of input arguments.");
}

// Whether the table has the module's class (an empty double table may have no data pointer).
static bool tableReadable(const SimilarityModule& module, const mxArray* table) {
  return module.layout == kLogicalColumns ? isFullLogical(table) : isRealFullDouble(table);
}

// Whether the list is a real full double array holding its rows.
static bool listReadable(const mxArray* list) {
  return isRealFullDouble(list) && mxGetNumberOfElements(list) >= mxGetM(list);
}

// Reads the table in the module's layout, the list (its rows) and the threshold.
static SimilarityInputs readInputs(const SimilarityModule& module, const mxArray* const prhs[]) {
  SimilarityInputs inputs;
  const mxArray* table = prhs[0];
  const bool readable = tableReadable(module, table);
  inputs.nodeAtts = MatrixView{mxGetM(table), mxGetN(table), 0, 0, 0, 0};
  if (module.layout == kLogicalColumns) {
    inputs.nodeAtts.logicals = readable ? mxGetLogicals(table) : 0;
    inputs.numAttrs = inputs.nodeAtts.m;
    inputs.numNodes = inputs.nodeAtts.n;
  } else {
    inputs.nodeAtts.pr = readable ? mxGetPr(table) : 0;
    inputs.numNodes = inputs.nodeAtts.m;
    inputs.numAttrs = inputs.nodeAtts.n;
  }
  const mxArray* list = prhs[1];
  inputs.nodesToKeep.count = mxGetM(list);
  inputs.nodesToKeep.numbers = listReadable(list) ? readFullDouble(list) : 0;
  inputs.threshold = readNumber(prhs[2]);
  return inputs;
}

// Whether every input from the threshold on holds a number.
static bool parametersAreNumbers(const mxArray* const prhs[], int nrhs) {
  for (int k = 2; k < nrhs; ++k)
    if (!holdsNumber(prhs[k])) return false;
  return true;
}

// Refuses, before the output exists, a call the pass could not run safely: inputs that hold no
// number, a table of the wrong class, a list that is not a real full double array holding its
// rows, sizes beyond 32-bit positions, node numbers that are not finite, out of range or not
// strictly ascending after truncation, and a capacity no count can hold.
static void refuseBrokenCall(const SimilarityModule& module, const mxArray* const prhs[], int nrhs,
                             const SimilarityInputs& inputs, double capacity) {
  failIf(!parametersAreNumbers(prhs, nrhs), module.word, "notnumber", module.notNumberMessage);
  failIf(!tableReadable(module, prhs[0]), module.word, module.wrongTableReason, module.wrongTableMessage);
  failIf(!listReadable(prhs[1]), module.word, "notlist",
         "Input nodesToKeep must be a real full double column vector of node numbers; convert it with "
         "double(X(:)).");
  refuseSizesAndList(module.word, inputs.numNodes, inputs.numAttrs, inputs.nodesToKeep);
  failIf(!isCountable(capacity), module.word, "badcapacity",
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
  const uint64_t listed = inputs.nodesToKeep.count;
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
  return createOutput(plhs, inputs.numNodes, inputs.numNodes, room < listed * listed ? room : listed * listed, module.word);
}

// After the pass: reports a result that needed more room than it had.
void refuseOverflow(const SimilarityModule& module, uint64_t needed, uint64_t room) {
  if (needed <= room) return;
  mexPrintf("%s: the result needs %.0f entries but has room for %d\n", module.word, (double)needed, low32(room));
  failIf(true, module.word, "noroom", module.noRoomAdvice);
}
