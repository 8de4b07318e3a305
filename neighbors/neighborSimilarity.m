% S = neighborSimilarity (G, measure, Name, Value, ...)
%
%   A similarity of the neighbourhoods of every pair of nodes that share a
%   neighbour, straight from the graph, without forming G * G: kept above a
%   threshold, or the k largest of each column, or every such pair; for the
%   whole graph, for some of its rows or columns, or for a list of pairs;
%   neighbours followed along the edges, against them, or either way.
%
%   With P the 0/1 pattern of the edges of G (an edge is a stored entry that
%   is not 0), c = (P * P)(r,j) the common neighbours k of nodes r and j, d
%   the degrees full (sum (P, 2)), and k running over the common neighbours:
%     "jaccard"             c / (d(r) + d(j) - c), as neighborJaccard
%     "overlap"             c / min (d(r), d(j)), as neighborOverlap
%     "dice"                2 c / (d(r) + d(j))
%     "cosine"              c / sqrt (d(r) d(j))
%     "hubDepressed"        c / max (d(r), d(j))
%     "lhn"                 c / (d(r) d(j)), Leicht, Holme and Newman
%     "common"              c
%     "adamicAdar"          the sum of 1 / log (d(k)); a k of degree 1 adds 0
%     "resourceAllocation"  the sum of 1 / d(k)
%   With "Weighted", true, the weights w of G's edges (w(r,k) = G(r,k)) and
%   M the sum over k of min (w(r,k), w(k,j)), s the row sums of G:
%     "jaccard"  M / (s(r) + s(j) - M): on a symmetric G, the sum of the
%                smaller weights over the sum of the larger ones
%     "dice"     2 M / (s(r) + s(j))
%     "cosine"   the sum of w(r,k) w(k,j) over the product of the two rows'
%                norms, sqrt (sum (G .^ 2, 2))
%     "common"   the sum of w(r,k) w(k,j): the entries of G * G
%   The measure's name may be of any case. On an undirected graph (a
%   symmetric G) without loops these are the usual definitions. With loops a
%   node is one of its own neighbours. A pair whose value is not a number
%   (Jaccard of a union of 0) is kept only when there is no threshold and no
%   "TopK".
%
%   Directed networks ("Direction", d): on a G that is not symmetric, a
%   node's neighbours are the nodes its edges go to ("outgoing"), come from
%   ("incoming"), or either ("both"); every formula above then takes them,
%   with d a node's neighbours of that kind and, for Adamic-Adar and
%   resource allocation, d(k) the degree of the common neighbour k the other
%   way (the in-degree of k for "outgoing", as igraph weighs it):
%     "outgoing" ("out")  c = (P * P')(r,j), common successors: "common" is
%                         bibliographic coupling; d the out-degrees, s the
%                         row sums of G, M over min (G(r,k), G(j,k))
%     "incoming" ("in")   c = (P' * P)(r,j), common predecessors: "common" is
%                         co-citation; d the in-degrees, s the column sums
%     "both" ("all")      direction ignored: P is the pattern of G + G', and
%                         with "Weighted" the weights are those of G + G.'
%                         (the weights of two opposite edges add)
%     "paths"             the default: c = (P * P)(r,j) counts the paths
%                         r -> k -> j and d(r) the edges out of r, as
%                         tessaly (G * G, ...) does
%   "outgoing", "incoming" and "both" give a symmetric S, and never divide a
%   count above 0 by 0. With "paths" on a G that is not symmetric a
%   similarity may exceed 1, and a node j with edges into it but none out of
%   it gives overlap, cosine and lhn values of Inf (c / 0), which pass every
%   threshold and come first in every TopK column, and Jaccard values of NaN
%   (dropped): use "outgoing" or "incoming" for such networks. On a
%   symmetric G all four give the same S, but for "both" with "Weighted"
%   "common", whose weights there are twice G's (four times the values).
%   The same similarities elsewhere: igraph's similarity_jaccard,
%   similarity_dice and similarity_inverse_log_weighted with mode="out",
%   "in" or "all" are "jaccard", "dice" and "adamicAdar" with "outgoing",
%   "incoming" and "both" (with loops=False, on a G without loops), and its
%   bibcoupling and cocitation are "common" with "outgoing" and
%   "incoming"; networkx's jaccard_coefficient and adamic_adar_index (of an
%   undirected graph) are "jaccard" and "adamicAdar" with "both" of its
%   adjacency; graph-tool's vertex_similarity compares out-neighbours
%   ("outgoing"), and in-neighbours on a reversed view ("incoming").
%
%   Options, as name-value pairs (names of any case; a name given twice
%   takes its later value)
%     "Threshold", t  keep only values strictly above t (a NaN keeps
%                     nothing); default: every pair sharing a neighbour. A
%                     logical t is read as 0 or 1, a sparse one as its value;
%                     text is refused
%     "TopK", k       keep in each column only its k largest values, among
%                     equal values those of the smaller rows; with
%                     "Threshold", the k largest above it. Rows ascend in
%                     each column as always. A NaN is never kept
%     "Self", false   leave out the pairs of a node with itself (default
%                     true: the diagonal is kept, as neighborJaccard keeps it,
%                     and takes a place in each TopK column: Jaccard's
%                     diagonal is 1, above every other value)
%     "NonEdges", true  keep only pairs (r, j) that are no edge, as link
%                     prediction scores them: with "paths", G(r,j) is no
%                     edge (on a directed G only that direction is
%                     tested); with the other directions, neither G(r,j)
%                     nor G(j,r)
%     "Weighted", true  the weighted measures above; G's edges must then
%                     have finite positive weights
%     "Columns", list  only these columns, a strictly ascending list of
%                     node numbers (truncated toward zero): S is then
%                     n-by-numel (list) and equals the same columns of the
%                     whole result, so the slices of a split, concatenated
%                     in order, give the whole result exactly
%     "Threads", n    at most n threads for this call, a whole number from 1
%                     up (above 64 counts as 64); default: as many as
%                     maxNumCompThreads answers (see Threads below)
%     "Direction", d  whose neighbours count: "outgoing", "incoming", "both"
%                     or "paths" (the default; see Directed networks)
%     "Rows", list    only these rows, a strictly ascending list of node
%                     numbers: S is then numel (list)-by-n (or by numel of
%                     Columns) and equals those rows of the whole result;
%                     with TopK, the k largest of each column among them.
%                     Only the listed rows' neighbourhoods are walked, each
%                     whole: a hundredth of the rows takes about a
%                     hundredth of the work
%     "Pairs", P      an m-by-2 matrix of node numbers, one pair a row, in
%                     any order, repeats allowed: S is then an m-by-1 full
%                     double column holding, for each pair (P(i,1), P(i,2)),
%                     the whole result's entry there (with the same
%                     Direction, Self, NonEdges and Weighted), 0 where it
%                     holds none. Each pair costs the neighbours of its two
%                     nodes, never a pass over G; it takes no Threshold,
%                     TopK, Rows or Columns
%
%   Inputs
%     G        n-by-n sparse matrix, double or logical: the graph
%     measure  the name of a measure, as text ('jaccard')
%
%   Output
%     S        n-by-n (or n-by-numel (list)) sparse double matrix with room
%              for nnz (S) entries
%
%   Printed lines
%     "neighborSimilarity: n = <n>, nnz(G) = <edges>, measure = <name>", the
%     threshold (or "no threshold") and each option that asks other than its
%     default (an option given at its default value, such as "Self", true,
%     is not shown; "Threads" never is), at the start: ", top <k> of each
%     column", ", no pairs of a node with itself", ", non-edges only",
%     ", direction <d>", ", <m> of <n> rows", ", <m> of <n> columns",
%     ", <m> pairs";
%     "neighborSimilarity: <p>% done" each tenth of the work of a call of
%     about 10^8 or more products (one for each path r -> k -> j; d(d+1)/2
%     through a node of degree d when S is symmetric);
%     "neighborSimilarity: nnz(S) = <count>" (for Pairs, the values that are
%     not 0).
%
%   How: as neighborJaccard (see help neighborJaccard), with which it shares
%   its pass; for jaccard, overlap, dice, cosine and hubDepressed with a
%   Threshold above 0, no TopK, Rows or Columns and a symmetric S, it too
%   skips the pairs that cannot pass where that pays.
%
%   Threads: as neighborJaccard (see help neighborJaccard): a call with the
%   work for it runs on as many threads as maxNumCompThreads answers, else
%   OMP_NUM_THREADS, else the processors this process may run on, and
%   "Threads", n sets the most for one call; a call of little work stays on
%   one thread. S, the lines and the errors are the same on any number.
%   With TopK each thread keeps its own k values of every column (16 bytes
%   each) and the least of them with its row (12 bytes a column), and the
%   values of the row it offers (8 bytes a node), merged at the end.
%
%   Example: the five most similar nodes of each node of a random network, by
%   their neighbourhoods' cosine, leaving each node itself out
%     G = sprand (500, 500, 0.02) > 0;
%     G = double (G | G');
%     S = neighborSimilarity (G, 'cosine', 'TopK', 5, 'Self', false);
%
%   Example: co-citation and bibliographic coupling of a small citation
%   network (an edge r -> k where paper r cites paper k), and the Jaccard
%   similarity of the references of three chosen pairs of papers
%     cites = sparse ([1 1 2 4 4], [2 3 3 3 1], 1, 4, 4);
%     cocited = neighborSimilarity (cites, 'common', 'Direction', 'incoming');
%     coupled = neighborSimilarity (cites, 'common', 'Direction', 'outgoing');
%     v = neighborSimilarity (cites, 'jaccard', 'Direction', 'out', ...
%                             'Pairs', [1 2; 1 4; 2 4]);
%
%   Working across many workers: on one machine, threads are the way: one
%   call already uses every core it may, with G in memory once. Slices are
%   for spreading a call over many machines: each worker computes its own
%   columns (each on its own threads), and the slices concatenated in order
%   are the whole result, bit for bit. In MATLAB with the Parallel
%   Computing Toolbox (a cluster's workers; on a parallel pool of this
%   machine each worker runs on one thread):
%     parts = {1:500, 501:1000};   % the columns of each worker
%     slices = cell (size (parts));
%     parfor w = 1:numel (parts)
%       slices{w} = neighborSimilarity (G, 'jaccard', 'Threshold', 0.1, ...
%                                       'Columns', parts{w});
%     end
%     S = [slices{:}];
%   In Octave with the parallel package (pkg load parallel):
%     slices = parcellfun (2, @(c) neighborSimilarity (G, 'jaccard', ...
%                'Threshold', 0.1, 'Columns', c), parts, ...
%                'UniformOutput', false);
%     S = [slices{:}];
%   Each worker walks every row that reaches its columns: for a symmetric G
%   two halves together take about one and a half times the work of the
%   whole call, since each pair across the two halves is found by both.
%   Each worker also receives G: parcellfun sends what the function holds
%   to every worker, which for a sparse G of half a million entries takes
%   seconds: two such workers on one machine took 25 to 30 times as long as
%   one call on its threads.
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:neighborSimilarity:wrongrhs     fewer than two inputs
%     MATLAB:neighborSimilarity:wronglhs     more than one output
%     MATLAB:neighborSimilarity:notsparse    G is not a sparse double or
%                                            logical matrix
%     MATLAB:neighborSimilarity:square       G is not square
%     MATLAB:neighborSimilarity:complex      G is complex
%     MATLAB:neighborSimilarity:toolarge     G has 2^31 or more rows
%     MATLAB:neighborSimilarity:toomany      G stores 2^31 or more entries
%     MATLAB:neighborSimilarity:malformed    G's row indices or column starts
%                                            are not those of a sparse matrix
%     MATLAB:neighborSimilarity:badmeasure   measure is not the name of one
%   then each option in the call's order, its name first:
%     MATLAB:neighborSimilarity:badname      an option name that is not text
%     MATLAB:neighborSimilarity:badoption    a name of no option
%     MATLAB:neighborSimilarity:novalue      a name without a value after it
%     MATLAB:neighborSimilarity:notnumber    Threshold is not one real number
%                                            (text, a complex number or
%                                            several numbers)
%     MATLAB:neighborSimilarity:badcount     TopK or Threads is not a whole
%                                            number from 1 to 2147483647
%     MATLAB:neighborSimilarity:notflag      Self, NonEdges or Weighted is
%                                            not true or false (1 or 0)
%     MATLAB:neighborSimilarity:notlist      Columns or Rows is not a real
%                                            full double vector (or [])
%     MATLAB:neighborSimilarity:nottext      Direction is not text
%     MATLAB:neighborSimilarity:notpairs     Pairs is not a real full double
%                                            m-by-2 matrix (or [])
%   then what the options ask of each other and of G:
%     MATLAB:neighborSimilarity:baddirection Direction names no direction
%     MATLAB:neighborSimilarity:pairsalone   Pairs with Threshold, TopK, Rows
%                                            or Columns
%     MATLAB:neighborSimilarity:notweighted  Weighted for a measure without
%                                            a weighted form
%     MATLAB:neighborSimilarity:badweight    Weighted, and an edge of G whose
%                                            weight is negative, infinite or
%                                            NaN
%     MATLAB:neighborSimilarity:badcolumn    a column number that is not
%                                            finite or, truncated, lies
%                                            outside 1 to n
%     MATLAB:neighborSimilarity:notascending column numbers, truncated, do
%                                            not ascend strictly
%     MATLAB:neighborSimilarity:badrow       a row number that is not finite
%                                            or, truncated, lies outside 1 to n
%     MATLAB:neighborSimilarity:notascending row numbers, truncated, do not
%                                            ascend strictly
%     MATLAB:neighborSimilarity:badpair      a node number of Pairs that is
%                                            not finite or, truncated, lies
%                                            outside 1 to n
%   and while the pairs are found:
%     MATLAB:neighborSimilarity:toomanypairs S would hold more than
%                                            2147483647 entries
%     MATLAB:neighborSimilarity:nomem        the host could not give the
%                                            memory the call needs (a host
%                                            that ends the call itself raises
%                                            its own error instead)

%!shared G
%! G = sparse ([0 1 1 0; 1 0 1 0; 1 1 0 1; 0 0 1 0]);

%!test
%! ## jaccard is neighborJaccard, with every pair sharing a neighbour kept
%! evalc ('S = neighborSimilarity (G, "jaccard");');
%! evalc ('J = neighborJaccard (G);');
%! assert (isequal (S, J));

%!test
%! ## the worked example of every unweighted measure: c, d = [2 2 3 1]
%! c = full (spones (G) * spones (G));
%! d = full (sum (spones (G), 2));
%! e = d.';
%! ## (no space before a call's parenthesis inside braces)
%! values = {"dice", 2 * c ./ (d + e); "cosine", c ./ sqrt(d * e); "hubDepressed", c ./ max(d, e); ...
%!           "lhn", c ./ (d * e); "common", c};
%! for m = 1:rows (values)
%!   evalc ('S = neighborSimilarity (G, values{m, 1});');
%!   expected = values{m, 2};
%!   expected(c == 0) = 0;
%!   assert (full (S), expected, 0);
%!   assert (nzmax (S), nnz (c));
%! end

%!test
%! ## top 1 of each column, ties to the smaller row; no self-pairs
%! ## (without the diagonal, c is 1 for every pair sharing a neighbour)
%! evalc ('S = neighborSimilarity (G, "common", "TopK", 1, "Self", false);');
%! assert (full (S), [0 1 1 1; 1 0 0 0; 0 0 0 0; 0 0 0 0]);

%!test
%! ## a column slice is the same columns of the whole result
%! evalc ('S = neighborSimilarity (G, "adamicAdar");');
%! evalc ('T = neighborSimilarity (G, "ADAMICADAR", "Columns", [2 4]);');
%! assert (isequal (T, S(:, [2 4])));

%!test
%! ## every direction against its product formed in full, on a directed graph
%! D = sparse ([1 1 2 4 4], [2 3 3 3 1], 1, 4, 4);
%! P = spones (D);
%! U = spones (P + P');
%! products = {"outgoing", P * P'; "incoming", P' * P; "both", U * U; "paths", P * P};
%! for k = 1:rows (products)
%!   evalc ('S = neighborSimilarity (D, "common", "Direction", products{k, 1});');
%!   assert (isequal (S, products{k, 2}));
%! end

%!test
%! ## chosen rows and listed pairs are the whole result's
%! evalc ('S = neighborSimilarity (G, "dice");');
%! evalc ('R = neighborSimilarity (G, "dice", "Rows", [1 3]);');
%! assert (isequal (R, S([1 3], :)));
%! evalc ('v = neighborSimilarity (G, "dice", "Pairs", [1 2; 4 4; 2 1; 3 3]);');
%! assert (v, full (S(sub2ind (size (S), [1 4 2 3], [2 4 1 3])))');

%!error <Direction> neighborSimilarity (G, "dice", "Direction", "up")
%!error <Pairs> neighborSimilarity (G, "dice", "Pairs", [1 2], "Threshold", 0.1)
%!error <measure> neighborSimilarity (G, "cosinus")
%!error <Weighted> neighborSimilarity (G, "lhn", "Weighted", true)
%!error <no option> neighborSimilarity (G, "dice", "Treshold", 0.5)
