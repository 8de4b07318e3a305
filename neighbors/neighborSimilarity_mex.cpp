// MATLAB gateway of S = neighborSimilarity(G, measure, Name, Value, ...).
#include "frame/node_list.h"
#include "frame/options.h"
#include "frame/workspace.h"
#include "neighbors/neighbor_gateway.h"

static const char kWord[] = "neighborSimilarity";
static const char kColumnsRange[] = "Option Columns must hold node numbers from 1 to the number of nodes of G.";

enum { kThreshold, kTopK, kSelf, kNonEdges, kWeighted, kColumns, kThreads, kOptionCount };
static const OptionSpec kOptions[kOptionCount] = {{"Threshold", kNumberOption}, {"TopK", kCountOption},
                                                  {"Self", kFlagOption},        {"NonEdges", kFlagOption},
                                                  {"Weighted", kFlagOption},    {"Columns", kListOption},
                                                  {"Threads", kCountOption}};

// The measure's name; refuses anything but the name of a measure.
static void readMeasureName(const mxArray* measure, char* name, size_t size) {
  const char* parts[] = {"Input measure must name a measure, as text: ", kNeighborMeasureNames, "."};
  char message[256];
  joinTexts(message, sizeof message, parts, 3);
  failIf(!readText(measure, name, size) || !isNeighborMeasure(name), kWord, "badmeasure", message);
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

// The opening line's format: n, the edges and the threshold, the measure and the options given.
static void openingLineOf(const NeighborRequest& request, uint64_t n, char* line, size_t size) {
  const PairRequest& pairs = request.pairs;
  char topK[24], columns[24], nodes[24];
  const char* parts[] = {"neighborSimilarity: n = %d, nnz(G) = %d, measure = ",
                         request.measure->weighted ? "weighted " : "",
                         request.measure->name,
                         request.thresholded ? ", threshold = %f" : ", no threshold",
                         pairs.topK > 0 ? ", top " : "",
                         pairs.topK > 0 ? decimalOf(pairs.topK, topK) : "",
                         pairs.topK > 0 ? " of each column" : "",
                         pairs.self ? "" : ", no pairs of a node with itself",
                         request.nonEdgesOnly ? ", non-edges only" : "",
                         pairs.columns ? ", " : "",
                         pairs.columns ? decimalOf(pairs.columnCount, columns) : "",
                         pairs.columns ? " of " : "",
                         pairs.columns ? decimalOf((int64_t)n, nodes) : "",
                         pairs.columns ? " columns" : "",
                         "\n"};
  joinTexts(line, size, parts, sizeof parts / sizeof parts[0], true);
}

// The request of the call from its measure and options.
static NeighborRequest requestOf(const NeighborMeasure& measure, const OptionValue* options, const int32_t* columns,
                                 uint64_t n) {
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
  request.limits = moduleLimits();
  return request;
}

// Checks the call before any work, in the order of its inputs, finds the pairs and returns them
// in a result with exactly their room.
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
  const MatrixView G = readMatrix(prhs[0]);
  const NeighborMeasure& measure = measureOf(name, options[kWeighted].given && options[kWeighted].flag);
  if (measure.weighted) refuseBadWeights(G);
  const int32_t* columns = options[kColumns].given ? readColumnOption(kWord, options[kColumns], G.n, kColumnsRange) : 0;

  NeighborRequest request = requestOf(measure, options, columns, G.n);
  char openingLine[400];
  openingLineOf(request, G.n, openingLine, sizeof openingLine);
  request.openingLine = openingLine;
  NeighborPairs found = findNeighborPairs(request, G);
  returnNeighborPairs(found, plhs);
  mxFree((void*)columns);
}
