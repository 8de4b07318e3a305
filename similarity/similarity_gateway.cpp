#include "similarity/similarity_gateway.h"

// Prints the counts line and raises the count errors: one output and `inputs` inputs.
void checkSimilarityCounts(int nlhs, int nrhs, int inputs) {
  mexPrintf("nlhs = %d, nrhs = %d\n", nlhs, nrhs);
  failIf(nlhs != 1, "MATLAB:tessaly:wrongrhs", "Wrong number of output arguments.");
  failIf(nrhs != inputs, "MATLAB:tessaly:wrongrhs", "Wrong number of input arguments.");
}

// Reads the list (its rows) and the threshold into `inputs`.
static void readListAndThreshold(const mxArray* const prhs[], SimilarityInputs& inputs) {
  inputs.numNodesToKeep = mxGetM(prhs[1]);
  inputs.listReadable = isRealFullDouble(prhs[1]) && mxGetNumberOfElements(prhs[1]) >= inputs.numNodesToKeep;
  inputs.nodesToKeep = inputs.listReadable ? readFullDouble(prhs[1]) : 0;
  inputs.threshold = readNumber(prhs[2]);
}

// Reads a logical table with one column per node (tessaly5, tessaly5b), the list and the threshold.
SimilarityInputs readLogicalColumns(const mxArray* const prhs[]) {
  SimilarityInputs inputs;
  inputs.logicalTable = true;
  inputs.tableReadable = isFullLogical(prhs[0]);
  inputs.nodeAtts = inputs.tableReadable ? mxGetLogicals(prhs[0]) : 0;
  inputs.numAttrs = mxGetM(prhs[0]);
  inputs.numNodes = mxGetN(prhs[0]);
  readListAndThreshold(prhs, inputs);
  return inputs;
}

// Reads a double table with one row per node (tessaly5a), the list and the threshold.
SimilarityInputs readNumericRows(const mxArray* const prhs[]) {
  SimilarityInputs inputs;
  inputs.logicalTable = false;
  inputs.tableReadable = isRealFullDouble(prhs[0]);
  inputs.nodeAtts = readFullDouble(prhs[0]);
  inputs.numNodes = mxGetM(prhs[0]);
  inputs.numAttrs = mxGetN(prhs[0]);
  readListAndThreshold(prhs, inputs);
  return inputs;
}

// The room for `fraction` of all ordered pairs of listed nodes, as a float.
double pairsFraction(uint64_t numNodesToKeep, double fraction) {
  const uint64_t pairs = numNodesToKeep * numNodesToKeep;
  return (double)pairs * fraction;
}

// The room a fixed-fraction module gives its result: estNNZ, but never less than the diagonal.
uint64_t roomForDiagonal(uint64_t estNNZ, uint64_t numNodesToKeep) {
  return estNNZ > numNodesToKeep ? estNNZ : numNodesToKeep;
}

// Prints the dimensions line of the table.
void printDimensions(const SimilarityInputs& inputs) {
  mexPrintf("nodeAtts dimensions: numNodes=%d, numAttrs=%d\n", low32(inputs.numNodes), low32(inputs.numAttrs));
}

// Whether every input from the threshold on holds a number.
static bool parametersAreNumbers(const mxArray* const prhs[], int nrhs) {
  for (int k = 2; k < nrhs; ++k)
    if (!holdsNumber(prhs[k])) return false;
  return true;
}

// Whether every listed number truncates to a node from 1 to numNodes (not a number fails).
static bool nodesInRange(const SimilarityInputs& inputs) {
  const double pastLast = (double)inputs.numNodes + 1.0;
  for (uint64_t k = 0; k < inputs.numNodesToKeep; ++k)
    if (!(inputs.nodesToKeep[k] >= 1.0 && inputs.nodesToKeep[k] < pastLast)) return false;
  return true;
}

// Whether the listed node numbers, truncated, ascend strictly (they are known to be in range).
static bool nodesAscend(const SimilarityInputs& inputs) {
  for (uint64_t k = 1; k < inputs.numNodesToKeep; ++k)
    if ((int32_t)inputs.nodesToKeep[k] <= (int32_t)inputs.nodesToKeep[k - 1]) return false;
  return true;
}

// Refuses, before the output exists, a call the pass could not run safely.
void refuseBrokenCall(const SimilarityErrors& errors, const mxArray* const prhs[], int nrhs,
                      const SimilarityInputs& inputs, double capacity) {
  failIf(!parametersAreNumbers(prhs, nrhs), errors.notNumber,
         nrhs == 4 ? "Inputs threshold and percentSparse must be numbers; pass a numeric scalar for each."
                   : "Input threshold must be a number; pass a numeric scalar.");
  failIf(!inputs.tableReadable, errors.wrongTable,
         inputs.logicalTable ? "Input nodeAtts must be a full logical matrix with one column per node; "
                               "convert it with logical(full(X))."
                             : "Input nodeAtts must be a real full double matrix with one row per node; "
                               "convert it with full(double(X)).");
  failIf(!inputs.listReadable, errors.notList,
         "Input nodesToKeep must be a real full double column vector of node numbers; convert it with double(X(:)).");
  failIf(!fitsIndexWidth(inputs.numNodes) || !fitsIndexWidth(inputs.numAttrs), errors.tooLarge,
         "Input nodeAtts must have fewer than 2147483648 nodes and attributes; compare smaller tables.");
  failIf(!nodesInRange(inputs), errors.badNode,
         "Node numbers in nodesToKeep must be finite and lie from 1 to the number of nodes after truncation.");
  failIf(!nodesAscend(inputs), errors.notAscending,
         "Node numbers in nodesToKeep must ascend strictly after truncation; pass unique(fix(nodesToKeep)).");
  failIf(!isCountable(capacity), errors.badCapacity,
         "Input percentSparse must give room for 0 up to 2^64 entries; pass a fraction of all pairs, such as 0.1.");
}

// The steps before the pass of a module whose room is a fixed fraction of all pairs.
SparseView openFixedFraction(const SimilarityErrors& errors, SimilarityInputs (*read)(const mxArray* const prhs[]),
                             double fraction, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                             SimilarityInputs& inputs) {
  checkSimilarityCounts(nlhs, nrhs, 3);
  inputs = read(prhs);
  const double capacity = pairsFraction(inputs.numNodesToKeep, fraction);
  const uint64_t estNNZ = capacityFromFloat(capacity);
  printDimensions(inputs);
  mexPrintf("params: threshold = %f, numNodesToKeep= %d, estNNZ = %d\n", inputs.threshold,
            low32(inputs.numNodesToKeep), low32(estNNZ));
  refuseBrokenCall(errors, prhs, nrhs, inputs, capacity);
  return createOutput(plhs, inputs.numNodes, roomForDiagonal(estNNZ, inputs.numNodesToKeep));
}

// After the pass: reports a result that needed more room than it had.
void refuseOverflow(const char* word, const SimilarityErrors& errors, uint64_t needed, uint64_t room,
                    const char* advice) {
  if (needed <= room) return;
  mexPrintf("%s: the result needs %.0f entries but has room for %d\n", word, (double)needed, low32(room));
  failIf(true, errors.noRoom, advice);
}
