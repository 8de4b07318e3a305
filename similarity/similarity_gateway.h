// The gateway steps tessaly5, tessaly5b and tessaly5a share: checking the argument counts,
// reading the attribute table, the node list and the threshold, refusing what the pass could not
// read safely, sizing the output and reporting a result that needed more room than it had.
#pragma once

#include <stdint.h>

#include "frame/gateway.h"

// What a similarity gateway reads from its inputs.
struct SimilarityInputs {
  const void* nodeAtts;  // the table's data; null when it has the wrong class
  bool logicalTable;     // a logical table with one column per node, else doubles with one row per node
  bool tableReadable;    // whether nodeAtts has that class
  uint64_t numNodes, numAttrs;
  const double* nodesToKeep;  // the list's data; null when it has the wrong class
  bool listReadable;          // whether the list is a real full double array holding its rows
  uint64_t numNodesToKeep;
  double threshold;
};

// The identifiers of one module's own errors, each MATLAB:<word>:<reason>.
struct SimilarityErrors {
  const char* notNumber;     // threshold or percentSparse holds no number
  const char* wrongTable;    // nodeAtts has the wrong class
  const char* notList;       // nodesToKeep is not a real full double array holding its rows
  const char* tooLarge;      // nodeAtts has 2^31 or more nodes or attributes
  const char* badNode;       // a node number is not finite or out of range after truncation
  const char* notAscending;  // node numbers do not ascend strictly after truncation
  const char* badCapacity;   // the capacity is negative, not a number, or 2^64 or more
  const char* noRoom;        // more pairs passed the threshold than the result had room for
};

// The identifiers of the module `word`, whose wrong table class raises `tableReason`.
#define SIMILARITY_ERRORS(word, tableReason)                                                   \
  {"MATLAB:" word ":notnumber", "MATLAB:" word ":" tableReason, "MATLAB:" word ":notlist",     \
   "MATLAB:" word ":toolarge",  "MATLAB:" word ":badnode",     "MATLAB:" word ":notascending", \
   "MATLAB:" word ":badcapacity", "MATLAB:" word ":noroom"}

// Prints the counts line and raises the count errors: one output and `inputs` inputs.
void checkSimilarityCounts(int nlhs, int nrhs, int inputs);

// Reads a logical table with one column per node (tessaly5, tessaly5b), the list and the threshold.
SimilarityInputs readLogicalColumns(const mxArray* const prhs[]);

// Reads a double table with one row per node (tessaly5a), the list and the threshold.
SimilarityInputs readNumericRows(const mxArray* const prhs[]);

// The room for `fraction` of all ordered pairs of listed nodes, as a float: the square of the
// list's length formed in 64 bits, then converted and multiplied.
double pairsFraction(uint64_t numNodesToKeep, double fraction);

// A fixed fraction of all pairs is less than the diagonal for lists of one to three nodes, and
// the diagonal is stored whenever the threshold is below 1: room for at least one entry a node.
uint64_t roomForDiagonal(uint64_t estNNZ, uint64_t numNodesToKeep);

// Prints the dimensions line of the table.
void printDimensions(const SimilarityInputs& inputs);

// Refuses, before the output exists, a call the pass could not run safely: inputs that hold no
// number, a table of the wrong class, a list that is not a real full double array, sizes beyond
// 32-bit positions, node numbers that are not finite, out of range or not strictly ascending
// after truncation, and a capacity no count can hold.
void refuseBrokenCall(const SimilarityErrors& errors, const mxArray* const prhs[], int nrhs,
                      const SimilarityInputs& inputs, double capacity);

// The steps before the pass of tessaly5b and tessaly5a, whose room is a fixed fraction of all pairs:
// the counts, the inputs (read by `read`), the dimensions and parameter lines and the refusals. Fills
// `inputs` and returns the output, created with room for at least the diagonal.
SparseView openFixedFraction(const SimilarityErrors& errors, SimilarityInputs (*read)(const mxArray* const prhs[]),
                             double fraction, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                             SimilarityInputs& inputs);

// After the pass: when more pairs passed the threshold than the room held, prints how many
// entries the result needed and raises the module's noroom error with `advice`.
void refuseOverflow(const char* word, const SimilarityErrors& errors, uint64_t needed, uint64_t room,
                    const char* advice);
