// Jaccard similarity of the attribute sets of every pair of listed nodes, above a threshold, in a
// result sized exactly: the listed nodes are packed into bit sets once, each unordered pair is
// counted with population counts to size the result, the pairs that pass are kept for filling
// it when few pass (else counted again), and the result's upper half is mirrored from its lower
// half.
#pragma once

#include <stdint.h>

#include "frame/cpu_dispatch.h"
#include "frame/sparse_view.h"
#include "similarity/attribute_bits.h"

// Creates the n-by-n result with room for `stored` entries and returns its view; the host ends
// the call when it cannot.
typedef SparseView (*CreateResult)(void* host, uint64_t n, uint64_t stored);

// Pairs times words (see jaccardWork) that take about a second here: longer calls print progress.
const uint64_t kWorkOfASecond = UINT64_C(1) << 30;

// The work of a call: every unordered pair of listed nodes, a pair itself costing about as much
// as one 64-bit word of its bit sets; saturates at UINT64_MAX.
uint64_t jaccardWork(uint64_t listed, uint64_t numAttrs);

// Whether the workspace of a call can be counted in a size_t: the listed nodes' bit sets (about
// listed * numAttrs / 8 bytes) and a few words per listed node. The rows the first pass keeps
// for the second, 8 bytes each, become entries of the result, 16 bytes each or two of them.
bool jaccardWorkspaceFits(uint64_t listed, uint64_t numAttrs);

// Creates the numNodes-by-numNodes result and stores, in column p-1 of each listed node p and in
// list order, every listed node q whose similarity with p is strictly above `threshold`: row q-1,
// value the attributes both hold over those either holds (0 when neither holds any; 1 for p
// itself). `nodes` are the listed nodes, 0-based and strictly ascending. When the call is long it
// prints a progress line each tenth of its two passes over the listed nodes; then the stored count.
// Returns false, without a result and with its workspace freed, when more than `maxEntries`
// (at most kMaxEntries) entries pass.
bool attributeJaccard(const AttributeTable& table, const int32_t* nodes, uint64_t listed, double threshold,
                      uint64_t maxEntries, CpuPath path, CreateResult createResult, void* host);
