#include "neighbors/neighbor_prefixes.h"

#include "frame/host.h"
#include "frame/portable.h"
#include "frame/progress.h"
#include "frame/workspace.h"

// Each bound is lowered by this share before it is used, far more than any rounding of the value
// the pass compares, so that no pair whose computed value passes is ever skipped.
static const double kSlack = 1.0 - 1e-9;

// The work of the pass in the units of one count of the full pass, as measured here on graphs
// with hubs and with heavy tails: an edge ordered and indexed, a neighbour looked up in the index
// (a list far in memory), and a meeting of two rows under one neighbour, with its share of the
// counting in full of the pairs that may pass.
static const double kCostPerEdge = 2.0, kCostPerProbe = 1.0, kCostPerMeeting = 6.5;

// Prefixes that keep more than this share of the neighbours skip too little to pay for ordering them.
static const double kMostProbed = 0.9;

// An entry of the index: a row (its place in the order of degrees) with a neighbour in its
// prefix, its degree and where that neighbour stands in its row.
struct IndexEntry {
  int32_t row;
  int32_t degree;
  int32_t position;
};

// The entries of one neighbour's list still in use: those from `front` up to `end`.
struct IndexList {
  int32_t front;
  int32_t end;
};

// A row met while probing the current row's prefix, with the neighbours the two prefixes share.
struct Candidate {
  int32_t row;
  int32_t degree;
  int32_t shared;
};

// Which row last met a row (`stamp`) and where that row stands in its candidates (`slot`).
struct Meeting {
  int32_t stamp;
  int32_t slot;
};

// A pair found: nodes row <= column and their common neighbours.
struct FoundPair {
  int32_t row;
  int32_t column;
  int32_t shared;
};

// What the pass works with. Rows are numbered by their place in the order of degrees (fewest
// edges first, then by node): `rank`; their neighbours are numbered so too.
struct Prefixes {
  const char* word;
  SharedBound bound;
  double threshold;
  int32_t n;
  int32_t maxDegree;
  int32_t* nodeOf;          // rank -> node
  int32_t* rowStart;        // rank -> first of its neighbours in `neighbors`; n + 1 of them
  int32_t* neighbors;       // each row's neighbours by rank, ascending
  int32_t* probeLength;     // by degree: the prefix a row looks up
  int32_t* indexLength;     // by degree: the prefix a row is listed under
  int32_t* leastPartner;    // by degree: the least degree of a row it can pass with, at least 1
  int32_t* indexCut;        // by rank: the last neighbour of its index prefix, or -1
  IndexList* lists;         // by neighbour
  IndexEntry* entries;
  Meeting* meetings;        // by rank
  int32_t* marks;           // by neighbour: the rank of the row whose neighbours are marked
  Candidate* candidates;
  FoundPair* pairs;
  int64_t pairCount;
  int64_t pairRoom;
  int64_t entriesOfResult;  // the entries of S the pairs make
};

// Whether the request allows the pass.
static bool prefixesMayServe(const NeighborPairs& found) {
  const NeighborRequest& request = found.request;
  return request.measure->bound != kNoBound && request.thresholded && request.threshold > 0.0 &&
         request.topK == 0 && !request.columns && found.symmetric && !found.numbers;
}

// x rounded down to a count within the 32-bit range; 0 for a negative x or NaN.
static int32_t countBelow(double x) {
  if (!(x > 0.0)) return 0;
  return x >= 2147483647.0 ? INT32_MAX : (int32_t)x;
}

// The least common neighbours of a pair that must share more than `above`, and at least one.
static int32_t leastShared(double above) {
  const int32_t below = countBelow(above * kSlack);
  return below == INT32_MAX ? below : below + 1;
}

// The least common neighbours of a pair of rows of degrees a and b for its value to pass.
static int32_t leastSharedOf(const Prefixes& x, int32_t a, int32_t b) {
  return leastShared(sharedAbove(x.bound, x.threshold, (double)a, (double)b));
}

// The first d - least + 1 neighbours of a row of d: two rows sharing `least` share one of them.
static int32_t prefixLength(int32_t d, int32_t least) { return least > d ? 0 : d - least + 1; }

// The lengths and least partners of every degree. A row looks up the prefix that serves its
// least partner; it is listed under the shorter one that serves a partner of its own degree, as
// every row that looks it up comes later and has as many edges or more.
static void degreeTables(Prefixes& x) {
  const uint64_t degrees = (uint64_t)x.maxDegree + 1;
  x.probeLength = workspaceOf<int32_t>(x.word, degrees);
  x.indexLength = workspaceOf<int32_t>(x.word, degrees);
  x.leastPartner = workspaceOf<int32_t>(x.word, degrees);
  for (int32_t d = 0; d <= x.maxDegree; ++d) {
    // A partner's degree must be above the bound, as what it shares is no more than its degree.
    x.leastPartner[d] = leastShared(leastPartnerDegree(x.bound, x.threshold, (double)d));
    const int32_t smallest = x.leastPartner[d] < d ? x.leastPartner[d] : d;
    x.probeLength[d] = prefixLength(d, leastSharedOf(x, d, smallest));
    x.indexLength[d] = prefixLength(d, leastSharedOf(x, d, d));
  }
}

// Orders the nodes by degree, fewest edges first, nodes of one degree in their own order:
// `nodeOf` and, in `rankOf`, each node's place.
static void orderByDegree(Prefixes& x, const int32_t* degrees, int32_t* rankOf) {
  int32_t* firstOf = zeroedWorkspaceOf<int32_t>(x.word, (uint64_t)x.maxDegree + 2);
  for (int32_t v = 0; v < x.n; ++v) ++firstOf[degrees[v] + 1];
  for (int32_t d = 0; d <= x.maxDegree; ++d) firstOf[d + 1] += firstOf[d];
  x.nodeOf = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  for (int32_t v = 0; v < x.n; ++v) {
    const int32_t rank = firstOf[degrees[v]]++;
    x.nodeOf[rank] = v;
    rankOf[v] = rank;
  }
  mxFree(firstOf);
}

// Where a row's next neighbour goes while the rows are filled, and where its two prefixes end:
// together, as the filling reaches the rows in no order.
struct RowFill {
  int32_t next;
  int32_t start;
  int32_t probe;
  int32_t listed;
};

// Each row's neighbours by rank, ascending: each neighbour k, in order, is added to the rows of
// its own neighbours, which by symmetry are the rows it is a neighbour of. Counts, per neighbour,
// the rows listed under it into `listed` and those looking it up into `probing`.
static void rankedRows(Prefixes& x, const int32_t* starts, const int32_t* columns, const int32_t* rankOf,
                       int32_t* listed, int32_t* probing) {
  x.rowStart = workspaceOf<int32_t>(x.word, (uint64_t)x.n + 1);
  RowFill* fill = workspaceOf<RowFill>(x.word, (uint64_t)x.n);
  x.rowStart[0] = 0;
  for (int32_t rank = 0; rank < x.n; ++rank) {
    const int32_t v = x.nodeOf[rank], d = starts[v + 1] - starts[v], start = x.rowStart[rank];
    x.rowStart[rank + 1] = start + d;
    fill[rank] = RowFill{start, start, start + x.probeLength[d], start + x.indexLength[d]};
  }
  x.neighbors = workspaceOf<int32_t>(x.word, (uint64_t)x.rowStart[x.n] + 1);
  for (int32_t k = 0; k < x.n; ++k) {
    const int32_t v = x.nodeOf[k];
    int32_t listing = 0, probes = 0;
    for (int32_t p = starts[v]; p < starts[v + 1]; ++p) {
      RowFill& row = fill[rankOf[columns[p]]];
      const int32_t at = row.next++;
      x.neighbors[at] = k;
      listing += at < row.listed;
      probes += at < row.probe;
    }
    listed[k] = listing;
    probing[k] = probes;
  }
  mxFree(fill);
}

// Whether the pass is likely cheaper than the full count of `products`: its setup, a lookup for
// each neighbour of the prefixes looked up, and each pair of entries under one neighbour, looked
// up and listed, about half of which meet (the other half is listed later).
static bool worthIt(const Prefixes& x, const int32_t* listed, const int32_t* probing, uint64_t products) {
  double probes = 0.0, meetings = 0.0;
  for (int32_t k = 0; k < x.n; ++k) {
    probes += probing[k];
    meetings += 0.5 * (double)listed[k] * (double)probing[k];
  }
  const double work = kCostPerEdge * x.rowStart[x.n] + kCostPerProbe * probes + kCostPerMeeting * meetings;
  return work < (double)products;
}

// Whether the prefixes looked up hold most of the graph's edges: known from the degrees alone.
static bool mostlyProbed(const Prefixes& x, const int32_t* degrees) {
  double probes = 0.0, edges = 0.0;
  for (int32_t v = 0; v < x.n; ++v) {
    probes += x.probeLength[degrees[v]];
    edges += degrees[v];
  }
  return probes > kMostProbed * edges;
}

// The lists of the index, sized from the rows listed under each neighbour, all empty.
static void emptyIndex(Prefixes& x, const int32_t* listed) {
  x.lists = workspaceOf<IndexList>(x.word, (uint64_t)x.n);
  int32_t start = 0;
  for (int32_t k = 0; k < x.n; ++k) {
    x.lists[k] = IndexList{start, start};
    start += listed[k];
  }
  x.entries = workspaceOf<IndexEntry>(x.word, (uint64_t)start + 1);
}

// The workspace of the pass's loop.
static void loopWorkspace(Prefixes& x) {
  x.indexCut = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  x.meetings = workspaceOf<Meeting>(x.word, (uint64_t)x.n);
  x.marks = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  x.candidates = workspaceOf<Candidate>(x.word, (uint64_t)x.n);
  for (int32_t k = 0; k < x.n; ++k) x.meetings[k].stamp = x.marks[k] = -1;
}

// Frees the pass's workspace, its pairs too.
static void releasePrefixes(Prefixes& x) {
  mxFree(x.nodeOf);
  mxFree(x.rowStart);
  mxFree(x.neighbors);
  mxFree(x.probeLength);
  mxFree(x.indexLength);
  mxFree(x.leastPartner);
  mxFree(x.indexCut);
  mxFree(x.lists);
  mxFree(x.entries);
  mxFree(x.meetings);
  mxFree(x.marks);
  mxFree(x.candidates);
  mxFree(x.pairs);
}

// The rows that share a neighbour of row `rank`'s prefix of `probe` neighbours within their own
// index prefixes, have as many edges as its least partner and may still share enough where the
// first neighbour they share stands; each with the neighbours shared so. Returns how many.
static int32_t meetRows(Prefixes& x, int32_t rank, int32_t probe) {
  const int32_t* row = x.neighbors + x.rowStart[rank];
  const int32_t d = x.rowStart[rank + 1] - x.rowStart[rank], least = x.leastPartner[d];
  int32_t count = 0;
  for (int32_t i = 0; i < probe; ++i) prefetchForReading(x.lists + row[i]);
  for (int32_t i = 0; i < probe; ++i) {
    IndexList& list = x.lists[row[i]];
    if (i + 1 < probe) prefetchForReading(x.entries + x.lists[row[i + 1]].front);
    // Rows are listed in the order of their degrees and every later row's least partner is as
    // large or larger: rows too small for this one are too small for every later one.
    while (list.front < list.end && x.entries[list.front].degree < least) ++list.front;
    for (int32_t q = list.front; q < list.end; ++q) {
      const IndexEntry entry = x.entries[q];
      Meeting& meeting = x.meetings[entry.row];
      if (meeting.stamp != rank) {
        const int32_t after = d - i - 1 < entry.degree - entry.position - 1 ? d - i - 1 : entry.degree - entry.position - 1;
        if (1 + after < leastSharedOf(x, d, entry.degree)) continue;
        meeting = Meeting{rank, count};
        x.candidates[count++] = Candidate{entry.row, entry.degree, 0};
      }
      ++x.candidates[meeting.slot].shared;
    }
  }
  return count;
}

// The common neighbours of row `rank` (its neighbours marked) and the candidate `other`, or -1
// when they cannot share enough. The neighbours both share up to the earlier of the two prefix
// ends were counted while probing; those after it are counted from the end of the other row.
static int32_t sharedWith(const Prefixes& x, int32_t rank, int32_t probeCut, int32_t unprobed, const Candidate& other) {
  const int32_t d = x.rowStart[rank + 1] - x.rowStart[rank], a = other.shared, od = other.degree;
  const int32_t otherCut = x.indexCut[other.row];
  const int32_t rest = probeCut <= otherCut ? (unprobed < od - a ? unprobed : od - a)
                                            : (od - x.indexLength[od] < d - a ? od - x.indexLength[od] : d - a);
  if (a + rest < leastSharedOf(x, d, od)) return -1;
  const int32_t cut = probeCut < otherCut ? probeCut : otherCut;
  const int32_t* theirs = x.neighbors + x.rowStart[other.row];
  int32_t shared = a;
  for (int32_t q = od - 1; q >= 0 && theirs[q] > cut; --q) shared += x.marks[theirs[q]] == rank;
  return shared;
}

// Adds the pair of nodes r and j with `shared` common neighbours.
static void addPair(Prefixes& x, int32_t r, int32_t j, int32_t shared) {
  if (x.pairCount == x.pairRoom) {
    x.pairRoom = x.pairRoom < 1024 ? 1024 : 2 * x.pairRoom;
    x.pairs = resizedWorkspace(x.word, x.pairs, (uint64_t)x.pairRoom);
  }
  x.pairs[x.pairCount++] = r < j ? FoundPair{r, j, shared} : FoundPair{j, r, shared};
  x.entriesOfResult += r == j ? 1 : 2;
}

// Keeps the pair of nodes r and j sharing `shared` neighbours when the request keeps it: by the
// same value and test as the full pass, its node numbers in the same order.
static void keepIfPassing(Prefixes& x, const NeighborPairs& found, int32_t r, int32_t j, int32_t shared, bool edge) {
  const NeighborRequest& request = found.request;
  if ((r == j && !request.self) || (edge && request.nonEdgesOnly)) return;
  const int32_t low = r < j ? r : j, high = r < j ? j : r;
  const double value = request.measure->valueOf((double)shared, (double)found.degrees[low], (double)found.degrees[high]);
  if (value > request.threshold) addPair(x, r, j, shared);
}

// Finds the pairs of row `rank` with the rows before it, and with itself, then lists it in the
// index under the neighbours of its index prefix.
static void findRow(Prefixes& x, const NeighborPairs& found, int32_t rank) {
  const int32_t* row = x.neighbors + x.rowStart[rank];
  const int32_t d = x.rowStart[rank + 1] - x.rowStart[rank];
  const int32_t probe = x.probeLength[d], listed = x.indexLength[d];
  x.indexCut[rank] = listed > 0 ? row[listed - 1] : -1;
  if (d == 0) return;
  const int32_t count = meetRows(x, rank, probe);
  for (int32_t q = 0; q < d; ++q) x.marks[row[q]] = rank;
  const int32_t node = x.nodeOf[rank], probeCut = probe > 0 ? row[probe - 1] : -1;
  // The candidates' rows lie anywhere: their starts are fetched ahead, then each row's end.
  for (int32_t c = 0; c < count; ++c) prefetchForReading(x.rowStart + x.candidates[c].row);
  for (int32_t c = 0; c < count; ++c) {
    const Candidate& other = x.candidates[c];
    if (c + 2 < count) {
      const Candidate& ahead = x.candidates[c + 2];
      prefetchForReading(x.neighbors + x.rowStart[ahead.row] + ahead.degree - 1);
      prefetchForReading(x.indexCut + ahead.row);
    }
    const int32_t shared = sharedWith(x, rank, probeCut, d - probe, other);
    if (shared > 0) keepIfPassing(x, found, node, x.nodeOf[other.row], shared, x.marks[other.row] == rank);
  }
  keepIfPassing(x, found, node, node, d, x.marks[rank] == rank);
  for (int32_t i = 0; i < listed; ++i) x.entries[x.lists[row[i]].end++] = IndexEntry{rank, d, i};
}

// Hands the pairs found to `found`, row by row as the full pass keeps them; marks it overflowed
// when the result would pass its limit.
static void handOver(Prefixes& x, NeighborPairs& found) {
  if (x.entriesOfResult > found.request.limits.maxEntries) {
    found.overflowed = true;
    return;
  }
  for (int32_t r = 0; r < found.n; ++r) found.rowEnds[r] = 0;
  for (int64_t p = 0; p < x.pairCount; ++p) ++found.rowEnds[x.pairs[p].row];
  for (int32_t r = 0, end = 0; r < found.n; ++r) end = found.rowEnds[r] += end;
  found.pairs = workspaceOf<NeighborPair>(x.word, (uint64_t)x.pairCount + 1);
  // Placed from the back, each row's pairs end before rowEnds[r] once they are all in.
  int32_t* next = workspaceOf<int32_t>(x.word, (uint64_t)found.n);
  for (int32_t r = 0; r < found.n; ++r) next[r] = found.rowEnds[r];
  for (int64_t p = x.pairCount - 1; p >= 0; --p)
    found.pairs[--next[x.pairs[p].row]] = NeighborPair{x.pairs[p].column, x.pairs[p].shared};
  mxFree(next);
  found.stored = (int32_t)x.pairCount;
  found.entries = (int32_t)x.entriesOfResult;
}

// Finds every row's pairs in the order of degrees, the progress in tenths of the prefixes looked up.
static void findAll(Prefixes& x, NeighborPairs& found, uint64_t products) {
  uint64_t probes = 0, done = 0;
  for (int32_t rank = 0; rank < x.n; ++rank) probes += (uint64_t)x.probeLength[x.rowStart[rank + 1] - x.rowStart[rank]];
  TenthsProgress progress = startTenths(found.request.progressLine, probes,
                                        products >= found.request.limits.productsShown);
  for (int32_t rank = 0; rank < x.n; ++rank) {
    findRow(x, found, rank);
    done += (uint64_t)x.probeLength[x.rowStart[rank + 1] - x.rowStart[rank]];
    advanceTenths(progress, done);
    if (x.entriesOfResult > found.request.limits.maxEntries) break;
  }
}

bool findByPrefixes(NeighborPairs& found, const int32_t* starts, const int32_t* columns, uint64_t products) {
  const PassChoice choice = found.request.limits.pass;
  if (choice == kCountingPass || !prefixesMayServe(found)) return false;
  Prefixes x = {};
  x.word = found.request.word;
  x.bound = found.request.measure->bound;
  x.threshold = found.request.threshold;
  x.n = found.n;
  for (int32_t v = 0; v < x.n; ++v) x.maxDegree = found.degrees[v] > x.maxDegree ? found.degrees[v] : x.maxDegree;
  degreeTables(x);
  if (choice == kCheaperPass && mostlyProbed(x, found.degrees)) {
    releasePrefixes(x);
    return false;
  }
  int32_t* rankOf = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  int32_t* listed = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  int32_t* probing = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  orderByDegree(x, found.degrees, rankOf);
  rankedRows(x, starts, columns, rankOf, listed, probing);
  mxFree(rankOf);
  const bool cheaper = choice == kPrefixPass || worthIt(x, listed, probing, products);
  if (cheaper) {
    emptyIndex(x, listed);
    loopWorkspace(x);
  }
  mxFree(probing);
  mxFree(listed);
  if (cheaper) {
    findAll(x, found, products);
    handOver(x, found);
  }
  releasePrefixes(x);
  return cheaper;
}
