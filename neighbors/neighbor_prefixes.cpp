#include "neighbors/neighbor_prefixes.h"

#include "frame/host.h"
#include "frame/portable.h"
#include "frame/progress.h"
#include "frame/sorting.h"
#include "frame/work_slices.h"
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

// The entries of one neighbour's list: from `start` up to `end`, in the order of their rows.
struct IndexList {
  int32_t start;
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

// What the pass works with, read by every worker once the index is built. Rows are numbered by
// their place in the order of degrees (fewest edges first, then by node): `rank`; their neighbours
// are numbered so too.
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
  uint64_t* workBefore;     // by rank, n + 1: the work of the rows before it, the entries it meets
};

// One worker's workspace: the rows it met, which of its neighbours the current row holds, how far
// into each list the rows too small for it reach, and the pairs it found in the round under way.
struct ProbeSpace {
  Meeting* meetings;    // by rank
  int32_t* marks;       // by neighbour: the rank of the row whose neighbours are marked
  Candidate* candidates;
  int32_t* fronts;      // by neighbour: the first entry of its list a later row may meet
  FoundPair* pairs;
  int64_t room;
  int64_t count;
};

// Whether the request allows the pass.
static bool prefixesMayServe(const NeighborPairs& found) {
  const NeighborRequest& request = found.request;
  return request.measure->bound != kNoBound && request.thresholded && request.pairs.threshold > 0.0 &&
         request.pairs.topK == 0 && !request.pairs.columns && !request.rows && found.symmetric && !found.numbers;
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

// The degree of the row of rank `rank`.
static int32_t degreeOf(const Prefixes& x, int32_t rank) { return x.rowStart[rank + 1] - x.rowStart[rank]; }

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
  x.nodeOf = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  orderByKey(x.n, x.maxDegree, [degrees](int32_t v) { return degrees[v]; }, firstOf, x.nodeOf);
  for (int32_t rank = 0; rank < x.n; ++rank) rankOf[x.nodeOf[rank]] = rank;
  mxFree(firstOf);
}

// Each row's neighbours by rank, ascending, and, per neighbour, the rows listed under it
// (`listed`) and those looking it up (`probing`): `workers` workers each rank and sort the rows of
// a slice of the ranks, and count into counts of their own (two n-vectors each in `counts`), added
// up after.
static void rankedRows(Prefixes& x, const RowPattern& P, const int32_t* rankOf, int32_t* listed, int32_t* probing,
                       int32_t workers) {
  x.rowStart = workspaceOf<int32_t>(x.word, (uint64_t)x.n + 1);
  x.rowStart[0] = 0;
  for (int32_t rank = 0; rank < x.n; ++rank) {
    const int32_t v = x.nodeOf[rank];
    x.rowStart[rank + 1] = x.rowStart[rank] + P.starts[v + 1] - P.starts[v];
  }
  x.neighbors = workspaceOf<int32_t>(x.word, (uint64_t)x.rowStart[x.n] + 1);
  int32_t* counts = zeroedWorkspaceOf<int32_t>(x.word, 2 * (uint64_t)workers * (uint64_t)x.n + 1);
  int32_t slices[kMostThreads + 1];
  const int32_t* rowStart = x.rowStart;
  sliceByCost([rowStart](int32_t rank) { return (uint64_t)rowStart[rank] + (uint64_t)rank; }, 0, x.n, workers, slices);
  auto rank = [&](int32_t worker) {
    int32_t* listing = counts + 2 * (uint64_t)worker * (uint64_t)x.n;
    int32_t* looking = listing + x.n;
    for (int32_t r = slices[worker]; r < slices[worker + 1]; ++r) {
      const int32_t v = x.nodeOf[r], d = degreeOf(x, r);
      int32_t* row = x.neighbors + x.rowStart[r];
      for (int32_t i = 0; i < d; ++i) row[i] = rankOf[P.columns[P.starts[v] + i]];
      sortItems(row, d, [](int32_t a, int32_t b) { return a < b; });
      for (int32_t i = 0; i < x.indexLength[d]; ++i) ++listing[row[i]];
      for (int32_t i = 0; i < x.probeLength[d]; ++i) ++looking[row[i]];
    }
  };
  runEachWorker(rank, workers);
  for (int32_t k = 0; k < x.n; ++k) {
    listed[k] = probing[k] = 0;
    for (int32_t w = 0; w < workers; ++w) {
      listed[k] += counts[2 * (uint64_t)w * (uint64_t)x.n + (uint64_t)k];
      probing[k] += counts[(2 * (uint64_t)w + 1) * (uint64_t)x.n + (uint64_t)k];
    }
  }
  mxFree(counts);
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

// The index: each row, in rank order, listed under the neighbours of its index prefix, so that
// every list holds its rows in rank order; and the work of each row, its probes and the entries
// listed before it under the neighbours it looks up, which bound the rows it meets. `workers`
// workers each fill the lists of a slice of the neighbours, every one reading all the rows, and
// count the entries each row meets in its lists into counts of their own (an n-vector each in
// `met`), added up after.
static void buildIndex(Prefixes& x, const int32_t* listed, int32_t workers) {
  x.lists = workspaceOf<IndexList>(x.word, (uint64_t)x.n);
  int32_t start = 0;
  for (int32_t k = 0; k < x.n; ++k) {
    x.lists[k] = IndexList{start, start};
    start += listed[k];
  }
  x.entries = workspaceOf<IndexEntry>(x.word, (uint64_t)start + 1);
  x.indexCut = workspaceOf<int32_t>(x.word, (uint64_t)x.n);
  x.workBefore = workspaceOf<uint64_t>(x.word, (uint64_t)x.n + 1);
  uint64_t* met = workspaceOf<uint64_t>(x.word, (uint64_t)workers * (uint64_t)x.n + 1);
  int32_t slices[kMostThreads + 1];
  const IndexList* lists = x.lists;
  const int32_t n = x.n;
  sliceByCost([lists, n, start](int32_t k) { return (uint64_t)(k < n ? lists[k].start : start) + (uint64_t)k; }, 0, n,
              workers, slices);
  auto fill = [&](int32_t worker) {
    const int32_t first = slices[worker], past = slices[worker + 1];
    uint64_t* meets = met + (uint64_t)worker * (uint64_t)x.n;
    for (int32_t rank = 0; rank < x.n; ++rank) {
      const int32_t* row = x.neighbors + x.rowStart[rank];
      const int32_t d = degreeOf(x, rank), probe = x.probeLength[d], indexed = x.indexLength[d];
      uint64_t meeting = 0;
      for (int32_t i = 0; i < probe; ++i)
        if (row[i] >= first && row[i] < past) meeting += (uint64_t)(x.lists[row[i]].end - x.lists[row[i]].start);
      meets[rank] = meeting;
      for (int32_t i = 0; i < indexed; ++i)
        if (row[i] >= first && row[i] < past) x.entries[x.lists[row[i]].end++] = IndexEntry{rank, d, i};
    }
  };
  runEachWorker(fill, workers);
  x.workBefore[0] = 0;
  for (int32_t rank = 0; rank < x.n; ++rank) {
    const int32_t d = degreeOf(x, rank), indexed = x.indexLength[d];
    uint64_t meeting = 0;
    for (int32_t w = 0; w < workers; ++w) meeting += met[(uint64_t)w * (uint64_t)x.n + (uint64_t)rank];
    x.workBefore[rank + 1] = x.workBefore[rank] + 1 + (uint64_t)x.probeLength[d] + meeting;
    x.indexCut[rank] = indexed > 0 ? x.neighbors[x.rowStart[rank] + indexed - 1] : -1;
  }
  mxFree(met);
}

// Frees the pass's workspace.
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
  mxFree(x.workBefore);
}

// The rows before row `rank` that share a neighbour of its prefix of `probe` neighbours within
// their own index prefixes, have as many edges as its least partner and may still share enough
// where the first neighbour they share stands; each with the neighbours shared so. Returns how many.
static int32_t meetRows(const Prefixes& x, ProbeSpace& space, int32_t rank, int32_t probe) {
  const int32_t* row = x.neighbors + x.rowStart[rank];
  const int32_t d = degreeOf(x, rank), least = x.leastPartner[d];
  int32_t count = 0;
  for (int32_t i = 0; i < probe; ++i) prefetchForReading(space.fronts + row[i]);
  for (int32_t i = 0; i < probe; ++i) {
    const IndexList list = x.lists[row[i]];
    if (i + 1 < probe) prefetchForReading(x.entries + space.fronts[row[i + 1]]);
    // Rows are listed in the order of their degrees and every later row's least partner is as
    // large or larger: rows too small for this one are too small for every later one.
    int32_t front = space.fronts[row[i]];
    while (front < list.end && x.entries[front].degree < least) ++front;
    space.fronts[row[i]] = front;
    for (int32_t q = front; q < list.end && x.entries[q].row < rank; ++q) {
      const IndexEntry entry = x.entries[q];
      Meeting& meeting = space.meetings[entry.row];
      if (meeting.stamp != rank) {
        const int32_t after = d - i - 1 < entry.degree - entry.position - 1 ? d - i - 1 : entry.degree - entry.position - 1;
        if (1 + after < leastSharedOf(x, d, entry.degree)) continue;
        meeting = Meeting{rank, count};
        space.candidates[count++] = Candidate{entry.row, entry.degree, 0};
      }
      ++space.candidates[meeting.slot].shared;
    }
  }
  return count;
}

// The common neighbours of row `rank` (its neighbours marked) and the candidate `other`, or -1
// when they cannot share enough. The neighbours both share up to the earlier of the two prefix
// ends were counted while probing; those after it are counted from the end of the other row.
static int32_t sharedWith(const Prefixes& x, const ProbeSpace& space, int32_t rank, int32_t probeCut, int32_t unprobed,
                          const Candidate& other) {
  const int32_t d = degreeOf(x, rank), a = other.shared, od = other.degree;
  const int32_t otherCut = x.indexCut[other.row];
  const int32_t rest = probeCut <= otherCut ? (unprobed < od - a ? unprobed : od - a)
                                            : (od - x.indexLength[od] < d - a ? od - x.indexLength[od] : d - a);
  if (a + rest < leastSharedOf(x, d, od)) return -1;
  const int32_t cut = probeCut < otherCut ? probeCut : otherCut;
  const int32_t* theirs = x.neighbors + x.rowStart[other.row];
  int32_t shared = a;
  for (int32_t q = od - 1; q >= 0 && theirs[q] > cut; --q) shared += space.marks[theirs[q]] == rank;
  return shared;
}

// Keeps the pair of nodes r and j sharing `shared` neighbours when the request keeps it: by the
// same value and test as the full pass, its node numbers in the same order. Returns the entries
// of the result it makes.
static int32_t keepIfPassing(ProbeSpace& space, const NeighborPairs& found, int32_t r, int32_t j, int32_t shared,
                             bool edge) {
  const NeighborRequest& request = found.request;
  if ((r == j && !request.pairs.self) || (edge && request.nonEdgesOnly)) return 0;
  const int32_t low = r < j ? r : j, high = r < j ? j : r;
  const double value = request.measure->valueOf((double)shared, (double)found.degrees[low], (double)found.degrees[high]);
  if (!(value > request.pairs.threshold)) return 0;
  space.pairs[space.count++] = FoundPair{low, high, shared};
  return r == j ? 1 : 2;
}

// Finds the pairs of row `rank` with the rows before it, and with itself; returns the entries of
// the result they make.
static int64_t findRow(const Prefixes& x, ProbeSpace& space, const NeighborPairs& found, int32_t rank) {
  const int32_t* row = x.neighbors + x.rowStart[rank];
  const int32_t d = degreeOf(x, rank), probe = x.probeLength[d];
  if (d == 0) return 0;
  const int32_t count = meetRows(x, space, rank, probe);
  for (int32_t q = 0; q < d; ++q) space.marks[row[q]] = rank;
  const int32_t node = x.nodeOf[rank], probeCut = probe > 0 ? row[probe - 1] : -1;
  int64_t entries = 0;
  // The candidates' rows lie anywhere: their starts are fetched ahead, then each row's end.
  for (int32_t c = 0; c < count; ++c) prefetchForReading(x.rowStart + space.candidates[c].row);
  for (int32_t c = 0; c < count; ++c) {
    const Candidate& other = space.candidates[c];
    if (c + 2 < count) {
      const Candidate& ahead = space.candidates[c + 2];
      prefetchForReading(x.neighbors + x.rowStart[ahead.row] + ahead.degree - 1);
      prefetchForReading(x.indexCut + ahead.row);
    }
    const int32_t shared = sharedWith(x, space, rank, probeCut, d - probe, other);
    if (shared > 0) entries += keepIfPassing(space, found, node, x.nodeOf[other.row], shared, space.marks[other.row] == rank);
  }
  return entries + keepIfPassing(space, found, node, node, d, space.marks[rank] == rank);
}

// What the workers of the pass share: the index, the request, each worker's workspace, the ranks
// each finds this round, and the entries each rank's pairs make.
struct ProbeWork {
  const Prefixes* x;
  const NeighborPairs* found;
  ProbeSpace* spaces;
  int64_t* rankEntries;
  int32_t slices[kMostThreads + 1];
};

// Finds the rows of worker `worker`'s slice of the round.
static void probeSlice(ProbeWork& work, int32_t worker) {
  for (int32_t rank = work.slices[worker]; rank < work.slices[worker + 1]; ++rank)
    work.rankEntries[rank] = findRow(*work.x, work.spaces[worker], *work.found, rank);
}

// One worker's workspace, its fronts at the start of every list.
static ProbeSpace startProbeSpace(const Prefixes& x) {
  ProbeSpace space = {};
  space.meetings = workspaceOf<Meeting>(x.word, (uint64_t)x.n + 1);
  space.marks = workspaceOf<int32_t>(x.word, (uint64_t)x.n + 1);
  space.candidates = workspaceOf<Candidate>(x.word, (uint64_t)x.n + 1);
  space.fronts = workspaceOf<int32_t>(x.word, (uint64_t)x.n + 1);
  for (int32_t k = 0; k < x.n; ++k) {
    space.meetings[k].stamp = space.marks[k] = -1;
    space.fronts[k] = x.lists[k].start;
  }
  return space;
}

// Gives each worker room for every pair its slice of the round can find: a row meets no more rows
// than the entries it looks up, nor than the rows before it, and pairs with itself.
static void roomForRound(ProbeWork& work, int32_t workers) {
  const Prefixes& x = *work.x;
  for (int32_t w = 0; w < workers; ++w) {
    int64_t most = 0;
    for (int32_t rank = work.slices[w]; rank < work.slices[w + 1]; ++rank) {
      const uint64_t met = x.workBefore[rank + 1] - x.workBefore[rank];
      most += 1 + (met < (uint64_t)rank ? (int64_t)met : rank);
    }
    ProbeSpace& space = work.spaces[w];
    space.count = 0;
    if (most <= space.room) continue;
    mxFree(space.pairs);
    space.pairs = 0;
    space.room = most > 2 * space.room ? most : 2 * space.room;
    space.pairs = workspaceOf<FoundPair>(x.word, (uint64_t)space.room);
  }
}

// The pairs of the whole pass, in rank order, as the calling thread gathers them.
struct FoundPairs {
  FoundPair* pairs;
  int64_t count;
  int64_t room;
};

// Appends the pairs each worker found in the round, worker after worker: rank order.
static void appendRound(const char* word, FoundPairs& all, const ProbeWork& work, int32_t workers) {
  int64_t needed = all.count;
  for (int32_t w = 0; w < workers; ++w) needed += work.spaces[w].count;
  if (needed > all.room) {
    int64_t room = all.room < 1024 ? 1024 : 2 * all.room;
    all.room = room < needed ? needed : room;
    all.pairs = resizedWorkspace(word, all.pairs, (uint64_t)all.room);
  }
  for (int32_t w = 0; w < workers; ++w)
    for (int64_t k = 0; k < work.spaces[w].count; ++k) all.pairs[all.count++] = work.spaces[w].pairs[k];
}

// Hands the pairs found to `found`, row by row as the full pass keeps them.
static void handOver(const char* word, const FoundPairs& all, NeighborPairs& found, int64_t entries) {
  for (int32_t r = 0; r < found.n; ++r) found.rowEnds[r] = 0;
  for (int64_t p = 0; p < all.count; ++p) ++found.rowEnds[all.pairs[p].row];
  for (int32_t r = 0, end = 0; r < found.n; ++r) end = found.rowEnds[r] += end;
  found.pairs = workspaceOf<NeighborPair>(word, (uint64_t)all.count + 1);
  // Placed from the back, each row's pairs end before rowEnds[r] once they are all in.
  int32_t* next = workspaceOf<int32_t>(word, (uint64_t)found.n);
  for (int32_t r = 0; r < found.n; ++r) next[r] = found.rowEnds[r];
  for (int64_t p = all.count - 1; p >= 0; --p)
    found.pairs[--next[all.pairs[p].row]] = NeighborPair{all.pairs[p].column, all.pairs[p].shared};
  mxFree(next);
  found.stored = (int32_t)all.count;
  found.entries = (int32_t)entries;
}

// Finds every row's pairs in the order of degrees, round after round, the progress in tenths of
// the prefixes looked up; stops when the result would pass the limit.
static void findAll(const Prefixes& x, NeighborPairs& found, uint64_t products, CallThreads& threads) {
  const uint64_t* workBefore = x.workBefore;
  const auto costBefore = [workBefore](int32_t rank) { return workBefore[rank]; };
  const int32_t workers = threadsFor(threads, workBefore[x.n], found.request.limits.workPerThread);
  uint64_t probes = 0;
  for (int32_t rank = 0; rank < x.n; ++rank) probes += (uint64_t)x.probeLength[degreeOf(x, rank)];
  TenthsProgress progress = startTenths(found.request.pairs.progressLine, probes,
                                        products >= found.request.limits.productsShown);
  ProbeWork work = {&x, &found, 0, 0, {}};
  work.rankEntries = workspaceOf<int64_t>(x.word, (uint64_t)x.n + 1);
  work.spaces = workspaceOf<ProbeSpace>(x.word, (uint64_t)workers);
  for (int32_t w = 0; w < workers; ++w) work.spaces[w] = ProbeSpace{};
  for (int32_t w = 0; w < workers; ++w) work.spaces[w] = startProbeSpace(x);
  const uint64_t roundWork = roundWorkOf(workBefore[x.n], found.request.limits.workPerThread, true);
  FoundPairs all = {0, 0, 0};
  int64_t entries = 0;
  uint64_t done = 0;
  for (int32_t first = 0; first < x.n && !found.overflowed;) {
    const int32_t past = roundEnd(costBefore, first, x.n, roundWork);
    sliceByCost(costBefore, first, past, workers, work.slices);
    roomForRound(work, workers);
    auto probe = [&work](int32_t worker) { probeSlice(work, worker); };
    runEachWorker(probe, workers);
    appendRound(x.word, all, work, workers);
    // The ranks in order: the limit is tested after each, as its pairs are counted.
    for (int32_t rank = first; rank < past; ++rank) {
      entries += work.rankEntries[rank];
      done += (uint64_t)x.probeLength[degreeOf(x, rank)];
      if (entries > (int64_t)found.request.pairs.maxEntries) {
        found.overflowed = true;
        break;
      }
    }
    advanceTenths(progress, done);
    first = past;
  }
  for (int32_t w = 0; w < workers; ++w) {
    mxFree(work.spaces[w].meetings);
    mxFree(work.spaces[w].marks);
    mxFree(work.spaces[w].candidates);
    mxFree(work.spaces[w].fronts);
    mxFree(work.spaces[w].pairs);
  }
  mxFree(work.spaces);
  mxFree(work.rankEntries);
  if (!found.overflowed) handOver(x.word, all, found, entries);
  mxFree(all.pairs);
}

bool findByPrefixes(NeighborPairs& found, const RowPattern& P, uint64_t products, CallThreads& threads) {
  const PassChoice choice = found.request.limits.pass;
  if (choice == kCountingPass || !prefixesMayServe(found)) return false;
  Prefixes x = {};
  x.word = found.request.pairs.word;
  x.bound = found.request.measure->bound;
  x.threshold = found.request.pairs.threshold;
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
  // Ordering the rows and indexing them: a few passes over the edges.
  const int32_t workers = threadsFor(threads, 8 * (uint64_t)P.starts[x.n] + (uint64_t)x.n,
                                     found.request.limits.workPerThread);
  rankedRows(x, P, rankOf, listed, probing, workers);
  mxFree(rankOf);
  const bool cheaper = choice == kPrefixPass || worthIt(x, listed, probing, products);
  if (cheaper) buildIndex(x, listed, workers);
  mxFree(probing);
  mxFree(listed);
  if (cheaper) findAll(x, found, products, threads);
  releasePrefixes(x);
  return cheaper;
}
