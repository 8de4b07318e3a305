// The gateway steps tessaly5, tessaly5b and tessaly5a share: checking the argument counts,
// reading the attribute table, the node list and the threshold, refusing what the pass could not
// read safely, sizing the output and reporting a result that needed more room than it had. What
// sets the three apart is a small table, SimilarityModule, that each gateway hands these steps.
#pragma once

#include <stdint.h>

#include "frame/gateway.h"
#include "frame/node_list.h"

// How a module's attribute table is laid out.
enum TableLayout {
  kLogicalColumns,  // a full logical matrix with one column per node (numAttrs-by-numNodes)
  kNumericRows,     // a real full double matrix with one row per node (numNodes-by-numAttrs)
};

// What sets one attribute-similarity module apart at its gateway.
struct SimilarityModule {
  const char* word;              // its identifiers are MATLAB:<word>:<reason>
  TableLayout layout;
  bool roomFromCaller;           // a fourth input, percentSparse, gives the room as a fraction of all pairs
  double fixedFraction;          // else the room is this fraction of all pairs, and at least the diagonal
  const char* notNumberMessage;  // the threshold (or percentSparse) holds no number
  const char* wrongTableReason;  // nodeAtts has the wrong class: the reason word and its message
  const char* wrongTableMessage;
  const char* noRoomAdvice;  // more pairs passed the threshold than the room holds
};

// What a similarity gateway reads from its inputs.
struct SimilarityInputs {
  MatrixView nodeAtts;  // its values null when it has the wrong class
  uint64_t numNodes, numAttrs;
  NodeList nodesToKeep;  // its numbers null when the list is not a real full double array holding its rows
  double threshold;
};

// The steps before the pass: the counts line and count errors, the inputs, the dimensions and
// parameter lines, and the refusals of a call the pass could not run safely. Fills `inputs` and
// returns the output, created with the module's room.
SparseView openSimilarityCall(const SimilarityModule& module, int nlhs, mxArray* plhs[], int nrhs,
                              const mxArray* prhs[], SimilarityInputs& inputs);

// After the pass: when more pairs passed the threshold than the room held, prints how many
// entries the result needed and raises the module's noroom error.
void refuseOverflow(const SimilarityModule& module, uint64_t needed, uint64_t room);
