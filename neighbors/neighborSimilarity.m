% S = neighborSimilarity (G, measure, Name, Value, ...)
%
%   A similarity of the neighbourhoods of every pair of nodes that share a
%   neighbour, straight from the graph, without forming G * G: kept above a
%   threshold, or the k largest of each column, or every such pair; for the
%   whole graph or for some of its columns.
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
%     "jaccard"  M / (s(r) + s(j) - M), the sum of the smaller weights over
%                the sum of the larger ones
%     "dice"     2 M / (s(r) + s(j))
%     "cosine"   the sum of w(r,k) w(k,j) over the product of the two rows'
%                norms, sqrt (sum (G .^ 2, 2))
%     "common"   the sum of w(r,k) w(k,j): the entries of G * G
%   The measure's name may be of any case. On an undirected graph without
%   loops these are the usual definitions. With loops a node is one of its
%   own neighbours. G need not be symmetric: c counts the paths r -> k -> j
%   and d(r) is the number of edges out of r, so a similarity may exceed 1.
%   A pair whose value is not a number (Jaccard of a union of 0) is kept
%   only when there is no threshold and no "TopK".
%
%   Options, as name-value pairs (names of any case; a name given twice
%   takes its later value)
%     "Threshold", t  keep only values strictly above t (a NaN keeps
%                     nothing); default: every pair sharing a neighbour
%     "TopK", k       keep in each column only its k largest values, among
%                     equal values those of the smaller rows; with
%                     "Threshold", the k largest above it. Rows ascend in
%                     each column as always. A NaN is never kept
%     "Self", false   leave out the pairs of a node with itself (default
%                     true: the diagonal is kept, as neighborJaccard keeps it)
%     "NonEdges", true  keep only pairs (r, j) that are no edge of G, as
%                     link prediction scores them
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
%     threshold (or "no threshold") and the other options given, at the start;
%     "neighborSimilarity: <p>% done" each tenth of the work of a call of
%     about 10^8 or more products (one for each path r -> k -> j; d(d+1)/2
%     through a node of degree d when G is symmetric);
%     "neighborSimilarity: nnz(S) = <count>".
%
%   How: as neighborJaccard (see help neighborJaccard), with which it shares
%   its pass; for jaccard, overlap, dice, cosine and hubDepressed with a
%   Threshold above 0, no TopK and no Columns on a symmetric G, it too skips
%   the pairs that cannot pass where that pays.
%
%   Threads: as neighborJaccard (see help neighborJaccard): a call with the
%   work for it runs on as many threads as maxNumCompThreads answers, else
%   OMP_NUM_THREADS, else the processors this process may run on, and
%   "Threads", n sets the most for one call; a call of little work stays on
%   one thread. S, the lines and the errors are the same on any number.
%   With TopK each thread keeps its own k values of every column (16 bytes
%   each), merged at the end.
%
%   Example: the five most similar nodes of each node of a random network, by
%   their neighbourhoods' cosine, leaving each node itself out
%     G = sprand (500, 500, 0.02) > 0;
%     G = double (G | G');
%     S = neighborSimilarity (G, 'cosine', 'TopK', 5, 'Self', false);
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
%     MATLAB:neighborSimilarity:badcount     TopK or Threads is not a whole
%                                            number from 1 to 2147483647
%     MATLAB:neighborSimilarity:notflag      Self, NonEdges or Weighted is
%                                            not true or false (1 or 0)
%     MATLAB:neighborSimilarity:notlist      Columns is not a real full
%                                            double vector (or [])
%   then what the options ask of each other and of G:
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

%!error <measure> neighborSimilarity (G, "cosinus")
%!error <Weighted> neighborSimilarity (G, "lhn", "Weighted", true)
%!error <no option> neighborSimilarity (G, "dice", "Treshold", 0.5)
