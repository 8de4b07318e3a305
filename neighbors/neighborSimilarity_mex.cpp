// MATLAB gateway of S = neighborSimilarity(G, measure, Name, Value, ...).
#include "frame/node_list.h"
#include "frame/options.h"
#include "frame/workspace.h"
#include "neighbors/neighbor_gateway.h"
#include "neighbors/neighbor_pair_values.h"

static const char kWord[] = "neighborSimilarity";
static const char kColumnsRange[] = "Option Columns must hold node numbers from 1 to the number of nodes of G.";
static const char kRowsRange[] = "Option Rows must hold node numbers from 1 to the number of nodes of G.";

enum { kThreshold, kTopK, kSelf, kNonEdges, kWeighted, kColumns, kThreads, kDirection, kRows, kPairs, kOptionCount };
static const OptionSpec kOptions[kOptionCount] = {
    {"Threshold", kNumberOption}, {"TopK", kCountOption},     {"Self", kFlagOption},    {"NonEdges", kFlagOption},
    {"Weighted", kFlagOption},    {"Columns", kListOption},   {"Threads", kCountOption}, {"Direction", kTextOption},
    {"Rows", kListOption},        {"Pairs", kPairsOption}};

// The directions, as a caller names them: each name and its short form.
struct NamedDirection {
  const char* name;
  const char* shortName;
  NeighborDirection direction;
};
static const NamedDirection kDirections[] = {{"paths", "paths", kPaths},
                                             {"outgoing", "out", kOutgoing},
                                             {"incoming", "in", kIncoming},
                                             {"both", "all", kBoth}};

// The measure's name; refuses anything but the name of a measure.
static void readMeasureName(const mxArray* measure, char* name, size_t size) {
  const char* parts[] = {"Input measure must name a measure, as text: ", kNeighborMeasureNames, "."};
  char message[256];
  joinTexts(message, sizeof message, parts, 3);
  failIf(!readText(measure, name, size) || !isNeighborMeasure(name), kWord, "badmeasure", message);
}

// The direction an option names (paths when none is given); refuses any other word.
static const NamedDirection& directionOf(const OptionValue& option) {
  if (!option.given) return kDirections[0];
  for (const NamedDirection& named : kDirections)
    if (sameName(named.name, option.text) || sameName(named.shortName, option.text)) return named;
  failIf(true, kWord, "baddirection",
         "Option Direction must be 'outgoing' (or 'out'), 'incoming' (or 'in'), 'both' (or 'all') or 'paths'.");
  return kDirections[0];
}

// The measure of that name, weighted when asked; refuses a weighting the measure does not have.
static const NeighborMeasure& measureOf(const char* name, bool weighted) {
  const NeighborMeasure* measure = neighborMeasureNamed(name, weighted);
  const char* parts[] = {"Option Weighted is for jaccard, dice, cosine and common only, not ", name,
                         "; leave it out or pass false."};
  char message[256];
  joinTexts(message, sizeof message, parts, 3);
  failIf(!measure, kWord, "notweighted", message);
  return *measure;
}

// Refuses, for a weighted measure, edges whose weights are not finite and positive (an entry of 0
// is no edge).
static void refuseBadWeights(const MatrixView& G) {
  bool good = true;
  for (uint64_t k = 0; G.pr && k < storedEntries(G); ++k)
    good &= G.pr[k] == 0.0 || (G.pr[k] > 0.0 && isFinite(G.pr[k]));
  failIf(!good, kWord, "badweight",
         "With Weighted, the edges of G must have finite positive weights; pass abs(G) or spones(G), or leave "
         "Weighted out.");
}

// Refuses Pairs with an option that chooses among the result's entries: a pair's value is the
// whole result's entry.
static void refusePairsWithChoices(const OptionValue* options) {
  const bool choosing = options[kThreshold].given || options[kTopK].given || options[kRows].given ||
                        options[kColumns].given;
  failIf(options[kPairs].given && choosing, kWord, "pairsalone",
         "Option Pairs takes no Threshold, TopK, Rows or Columns: each pair gets the whole result's entry; "
         "leave those out.");
}

// The node numbers of the listed pairs, truncated, 0-based, in workspace (the first column's, then
// the second's); refuses numbers that are not finite or lie outside 1 to n after truncation.
static int32_t* readPairs(const OptionValue& pairs, uint64_t n) {
  const NodeList both = {pairs.list, 2 * pairs.count};
  failIf(!nodesInRange(both, n), kWord, "badpair",
         "Option Pairs must hold node numbers from 1 to the number of nodes of G.");
  int32_t* nodes = workspaceOf<int32_t>(kWord, 2 * pairs.count + 1);
  for (uint64_t k = 0; k < 2 * pairs.count; ++k) nodes[k] = (int32_t)pairs.list[k] - 1;
  return nodes;
}

// The opening line's format: n, the edges and the threshold, the measure and the options that ask
// other than the default.
static void openingLineOf(const NeighborRequest& request, const NamedDirection& direction, uint64_t n,
                          uint64_t pairCount, char* line, size_t size) {
  const PairRequest& pairs = request.pairs;
  char topK[24], columns[24], rows[24], nodes[24], listed[24];
  const bool paths = request.direction == kPaths;
  const char* parts[] = {"neighborSimilarity: n = %d, nnz(G) = %d, measure = ",
                         request.measure->weighted ? "weighted " : "",
                         request.measure->name,
                         request.thresholded ? ", threshold = %f" : ", no threshold",
                         pairs.topK > 0 ? ", top " : "",
                         pairs.topK > 0 ? decimalOf(pairs.topK, topK) : "",
                         pairs.topK > 0 ? " of each column" : "",
                         pairs.self ? "" : ", no pairs of a node with itself",
                         request.nonEdgesOnly ? ", non-edges only" : "",
                         paths ? "" : ", direction ",
                         paths ? "" : direction.name,
                         request.rows ? ", " : "",
                         request.rows ? decimalOf(request.rowCount, rows) : "",
                         request.rows ? " of " : "",
                         request.rows ? decimalOf((int64_t)n, nodes) : "",
                         request.rows ? " rows" : "",
                         pairs.columns ? ", " : "",
                         pairs.columns ? decimalOf(pairs.columnCount, columns) : "",
                         pairs.columns ? " of " : "",
                         pairs.columns ? decimalOf((int64_t)n, nodes) : "",
                         pairs.columns ? " columns" : "",
                         pairCount > 0 ? ", " : "",
                         pairCount > 0 ? decimalOf((int64_t)pairCount, listed) : "",
                         pairCount > 0 ? (pairCount == 1 ? " pair" : " pairs") : "",
                         "\n"};
  joinTexts(line, size, parts, sizeof parts / sizeof parts[0], true);
}

// The request of the call from its measure and options.
static NeighborRequest requestOf(const NeighborMeasure& measure, const OptionValue* options, const int32_t* columns,
                                 const int32_t* rows, NeighborDirection direction, uint64_t n) {
  NeighborRequest request = {};
  PairRequest& pairs = request.pairs;
  pairs.word = kWord;
  pairs.progressLine = "neighborSimilarity: %d%% done\n";
  pairs.closingLine = "neighborSimilarity: nnz(S) = %d\n";
  pairs.threshold = options[kThreshold].number;
  const double most = (double)(n > 0 ? n : 1);
  pairs.topK = options[kTopK].given ? (int32_t)(options[kTopK].number < most ? options[kTopK].number : most) : 0;
  pairs.self = !options[kSelf].given || options[kSelf].flag;
  pairs.columns = columns;
  pairs.columnCount = columns ? (int32_t)options[kColumns].count : (int32_t)n;
  pairs.maxEntries = kMaxEntries;
  pairs.threads = options[kThreads].given ? (int32_t)options[kThreads].number : 0;
  request.measure = &measure;
  request.thresholded = options[kThreshold].given;
  request.nonEdgesOnly = options[kNonEdges].given && options[kNonEdges].flag;
  request.direction = direction;
  request.rows = rows;
  request.rowCount = rows ? (int32_t)options[kRows].count : (int32_t)n;
  request.limits = moduleLimits();
  return request;
}

// Serves Pairs: the value of each listed pair in an m-by-1 full result.
static void returnPairValues(const NeighborRequest& request, const MatrixView& G, const int32_t* nodes, uint64_t count,
                             mxArray* plhs[]) {
  double* values = workspaceOf<double>(kWord, count + 1);
  const int64_t nonzero = neighborPairValues(request, G, nodes, nodes + count, (int64_t)count, values);
  mxArray* output = mxCreateDoubleMatrix_730(count, 1, mxREAL);
  refuseNoMemory(output, kWord);
  plhs[0] = output;
  double* result = mxGetPr(output);
  for (uint64_t p = 0; p < count; ++p) result[p] = values[p];
  mexPrintf(request.pairs.closingLine, low32((uint64_t)nonzero));
  mxFree(values);
}

// Checks the call before any work, in the order of its inputs, finds the pairs and returns them
// in a result with exactly their room (or, for Pairs, the listed pairs' values).
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  failIf(nrhs < 2, kWord, "wrongrhs",
         "neighborSimilarity takes the graph G, a measure and name-value options: "
         "S = neighborSimilarity(G, 'jaccard', 'Threshold', 0.3).");
  failIf(nlhs > 1, kWord, "wronglhs", "One output at most: the similarity matrix S.");
  refuseGraphOfWrongKind(kWord, prhs[0]);
  refuseMalformedGraph(kWord, prhs[0]);
  char name[32];
  readMeasureName(prhs[1], name, sizeof name);
  OptionValue options[kOptionCount];
  readOptions(kWord, kOptions, kOptionCount, nrhs, prhs, 2, options);
  const NamedDirection& direction = directionOf(options[kDirection]);
  refusePairsWithChoices(options);
  const MatrixView G = readMatrix(prhs[0]);
  const NeighborMeasure& measure = measureOf(name, options[kWeighted].given && options[kWeighted].flag);
  if (measure.weighted) refuseBadWeights(G);
  const int32_t* columns = options[kColumns].given ? readColumnOption(kWord, options[kColumns], G.n, kColumnsRange) : 0;
  const int32_t* rows = options[kRows].given ? readRowOption(kWord, options[kRows], G.n, kRowsRange) : 0;
  const int32_t* pairNodes = options[kPairs].given ? readPairs(options[kPairs], G.n) : 0;

  NeighborRequest request = requestOf(measure, options, columns, rows, direction.direction, G.n);
  char openingLine[400];
  openingLineOf(request, direction, G.n, options[kPairs].count, openingLine, sizeof openingLine);
  request.openingLine = openingLine;
  if (options[kPairs].given) {
    returnPairValues(request, G, pairNodes, options[kPairs].count, plhs);
  } else {
    NeighborPairs found = findNeighborPairs(request, G);
    returnNeighborPairs(found, plhs);
  }
  mxFree((void*)pairNodes);
  mxFree((void*)rows);
  mxFree((void*)columns);
}
