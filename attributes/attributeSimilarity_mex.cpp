// MATLAB gateway of S = attributeSimilarity(nodeAtts, measure, Name, Value, ...).
#include "attributes/attribute_gateway.h"
#include "attributes/attribute_weights.h"
#include "frame/options.h"
#include "frame/workspace.h"
#include "neighbors/neighbor_store.h"

static const char kWord[] = "attributeSimilarity";
static const char kColumnsRange[] = "Option Columns must hold node numbers from 1 to the number of nodes of nodeAtts.";
static const char kTooMany[] =
    "More than 2147483647 pairs pass the threshold, more than a sparse result holds; raise the threshold or list "
    "fewer nodes.";
static const char kRowsRange[] = "Option Rows must hold node numbers from 1 to the number of nodes of nodeAtts.";

enum { kNodes, kThreshold, kTopK, kSelf, kColumns, kThreads, kRows, kWeighted, kOptionCount };
static const OptionSpec kOptions[kOptionCount] = {{"Nodes", kListOption},   {"Threshold", kNumberOption},
                                                  {"TopK", kCountOption},   {"Self", kFlagOption},
                                                  {"Columns", kListOption}, {"Threads", kCountOption},
                                                  {"Rows", kListOption},    {"Weighted", kFlagOption}};

// The measures, as a caller names them.
struct NamedMeasure {
  const char* name;
  AttributeMeasure measure;
};
static const NamedMeasure kMeasures[] = {{"jaccard", kJaccardOfAttributes},
                                         {"dice", kDiceOfAttributes},
                                         {"cosine", kCosineOfAttributes},
                                         {"overlap", kOverlapOfAttributes},
                                         {"simpleMatching", kSimpleMatching}};

// The measure named by `array` (any case); refuses anything but the name of a measure.
static const NamedMeasure& readMeasure(const mxArray* array) {
  char name[32];
  const bool text = readText(array, name, sizeof name);
  for (const NamedMeasure& named : kMeasures)
    if (text && sameName(named.name, name)) return named;
  failIf(true, kWord, "badmeasure",
         "Input measure must name a measure, as text: jaccard, dice, cosine, overlap, simpleMatching.");
  return kMeasures[0];
}

// The weighted measure of that name, when Weighted asks for one; refuses simple matching, which has
// none, and a table whose values are negative, infinite or NaN.
static const NeighborMeasure* weightedMeasureOf(const NamedMeasure& measure, const OptionValue& weighted,
                                                const MatrixView& table) {
  if (!weighted.given || !weighted.flag) return 0;
  const NeighborMeasure* weightedMeasure = weightedAttributeMeasureNamed(measure.name);
  failIf(!weightedMeasure, kWord, "notweighted",
         "Option Weighted is for jaccard, dice, cosine and overlap only, not simpleMatching; leave it out or pass "
         "false.");
  failIf(!weightsAreValues(table), kWord, "badweight",
         "With Weighted, the values of nodeAtts must be finite and not below 0; pass abs(X), or leave Weighted out.");
  return weightedMeasure;
}

// The request of the weighted measures' pass: the pairs' request and `measure`.
static NeighborRequest weightedRequestOf(const AttributeRequest& request, const NeighborMeasure& measure) {
  NeighborRequest weighted = {};
  weighted.pairs = request.pairs;
  weighted.measure = &measure;
  weighted.thresholded = true;
  weighted.rows = request.rows;
  weighted.rowCount = request.rowCount;
  weighted.limits = moduleLimits();
  return weighted;
}

// The request of the call from its measure and options.
static AttributeRequest requestOf(const NamedMeasure& measure, const OptionValue* options, const int32_t* columns,
                                  const int32_t* rows, uint64_t numNodes, uint64_t listed) {
  AttributeRequest request = {};
  PairRequest& pairs = request.pairs;
  pairs.word = kWord;
  pairs.progressLine = "attributeSimilarity: %d%% done\n";
  pairs.closingLine = "attributeSimilarity: nnz(S) = %d\n";
  pairs.threshold = options[kThreshold].given ? options[kThreshold].number : 0.0;
  pairs.self = !options[kSelf].given || options[kSelf].flag;
  const double most = (double)(listed > 0 ? listed : 1);
  pairs.topK = options[kTopK].given ? (int32_t)(options[kTopK].number < most ? options[kTopK].number : most) : 0;
  pairs.columns = columns;
  pairs.columnCount = columns ? (int32_t)options[kColumns].count : (int32_t)numNodes;
  pairs.maxEntries = kMaxEntries;
  pairs.threads = options[kThreads].given ? (int32_t)options[kThreads].number : 0;
  request.measure = measure.measure;
  request.path = widestPathOf(kAttributePairsKernel);
  request.workPerThread = kWorkPerAttributeThread;
  request.rows = rows;
  request.rowCount = rows ? (int32_t)options[kRows].count : (int32_t)numNodes;
  return request;
}

// The start line: the table, the measure and every option's value.
static void printStart(const mxArray* nodeAtts, const MatrixView& table, const NamedMeasure& measure, bool weighted,
                       const AttributeRequest& request, uint64_t listed) {
  char topK[24], columns[24], nodes[24], rows[24], options[200];
  const char* parts[] = {request.pairs.topK > 0 ? ", top " : "",
                         request.pairs.topK > 0 ? decimalOf(request.pairs.topK, topK) : "",
                         request.pairs.topK > 0 ? " of each column" : "",
                         request.pairs.self ? "" : ", no pairs of a node with itself",
                         request.pairs.columns ? ", " : "",
                         request.pairs.columns ? decimalOf(request.pairs.columnCount, columns) : "",
                         request.pairs.columns ? " of " : "",
                         request.pairs.columns ? decimalOf((int64_t)table.n, nodes) : "",
                         request.pairs.columns ? " columns" : "",
                         request.rows ? ", " : "",
                         request.rows ? decimalOf(request.rowCount, rows) : "",
                         request.rows ? " of " : "",
                         request.rows ? decimalOf((int64_t)table.n, nodes) : "",
                         request.rows ? " rows" : ""};
  joinTexts(options, sizeof options, parts, sizeof parts / sizeof parts[0]);
  mexPrintf("attributeSimilarity: numAttrs=%d, numNodes=%d (%s), measure = %s%s, numNodesToKeep=%d, threshold=%f%s\n",
            low32(table.m), low32(table.n), storageName(nodeAtts), weighted ? "weighted " : "", measure.name,
            low32(listed), request.pairs.threshold, options);
}

// Checks the call before any work, in the order of its inputs, finds the pairs and returns them
// in a result with exactly their room.
MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  failIf(nrhs < 2, kWord, "wrongrhs",
         "attributeSimilarity takes the table nodeAtts, a measure and name-value options: "
         "S = attributeSimilarity(nodeAtts, 'cosine', 'Threshold', 0.3).");
  failIf(nlhs > 1, kWord, "wronglhs", "One output at most: the similarity matrix S.");
  const MatrixView table = readAttributeTable(kWord, prhs[0]);
  const NamedMeasure& measure = readMeasure(prhs[1]);
  OptionValue options[kOptionCount];
  readOptions(kWord, kOptions, kOptionCount, nrhs, prhs, 2, options);
  const NeighborMeasure* weighted = weightedMeasureOf(measure, options[kWeighted], table);
  const NodeList list = {options[kNodes].list, options[kNodes].count};
  const bool everyNode = !options[kNodes].given;
  const uint64_t listed = everyNode ? table.n : list.count;
  refuseSizesAndList(kWord, table.n, table.m, everyNode ? NodeList{0, 0} : list, "Nodes");
  const int32_t* columns = options[kColumns].given ? readColumnOption(kWord, options[kColumns], table.n, kColumnsRange) : 0;
  const int32_t* rows = options[kRows].given ? readRowOption(kWord, options[kRows], table.n, kRowsRange) : 0;
  const AttributeRequest request = requestOf(measure, options, columns, rows, table.n, listed);
  // Every pair of listed nodes passes a negative threshold: too many are known at once.
  const uint64_t everyPair = listed * listed - (request.pairs.self ? 0 : listed);
  failIf(!weighted && request.pairs.threshold < 0.0 && !columns && !rows && request.pairs.topK == 0 &&
             everyPair > kMaxEntries,
         kWord, "toomany",
         "More than 2147483647 pairs pass the threshold, more than a sparse result holds; raise the threshold or "
         "list fewer nodes.");
  failIf(!weighted && !attributeWorkspaceFits(listed, table.m), kWord, "noworkspace",
         "The listed nodes' attributes need more workspace than this machine can address; list fewer nodes.");

  printStart(prhs[0], table, measure, weighted, request, listed);
  const int32_t* nodes = listedNodes(kWord, everyNode ? NodeList{0, 0} : list, listed);
  if (weighted) {
    NeighborPairs found = findWeightedAttributePairs(weightedRequestOf(request, *weighted), table, nodes, listed);
    storeNeighborPairs(found, createPairResult(plhs, found.request.pairs, found.overflowed, "toomany", kTooMany,
                                               (uint64_t)found.rowCount, (uint64_t)found.entries));
  } else {
    AttributePairs found = findAttributePairs(request, table, nodes, listed);
    returnAttributePairs(found, plhs);
  }
  mxFree((void*)nodes);
  mxFree((void*)rows);
  mxFree((void*)columns);
}
