// The gateway steps attributeJaccard and attributeSimilarity share: reading the attribute table
// and the listed nodes, and returning the pairs found in a result with exactly their room.
#pragma once

#include "attributes/attribute_pairs.h"
#include "attributes/attribute_store.h"
#include "frame/gateway.h"
#include "frame/node_list.h"

// The attribute table, logical or double, full or sparse; refuses any other class, an array of
// pages (badtable) and complex values (complex), under MATLAB:<word>:<reason>.
MatrixView readAttributeTable(const char* word, const mxArray* nodeAtts);

// The table's storage as the start lines show it: "full logical", "sparse double"...
const char* storageName(const mxArray* nodeAtts);

// The `listed` nodes, 0-based, in workspace: the list's numbers truncated, or every node when
// the list has no numbers.
int32_t* listedNodes(const char* word, const NodeList& list, uint64_t listed);

// Ends the call in toomany when more pairs passed than a result holds; else creates the
// numNodes-by-columnCount result with exactly their room, writes it and frees the pass.
void returnAttributePairs(AttributePairs& found, mxArray* plhs[]);
