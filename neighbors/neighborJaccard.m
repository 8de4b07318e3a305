% S = neighborJaccard (G, threshold)
%
%   Jaccard similarity of the neighbourhoods of every pair of nodes that share
%   a neighbour, straight from the graph, without forming G * G.
%
%   With P the 0/1 pattern of the edges of G, C = P * P the common-neighbour
%   counts and d = full (sum (P, 2)) the degrees, S is exactly
%   tessaly (C, d, threshold): for every pair with C(r,j) > 0, the union
%   (d(r) + d(j)) - C(r,j); where it is above 0, S(r,j) = C(r,j) / union,
%   stored only when strictly greater than THRESHOLD. The values (bit for
%   bit), their order (rows ascending in each column) and the stored entries
%   are the same as tessaly's, but S has room for exactly the entries it
%   stores.
%
%   An edge is a stored entry of G that is not 0: edge weights are ignored, a
%   NaN entry is an edge, a stored 0 is not. G need not be symmetric: for a
%   directed graph C(r,j) counts the paths r -> k -> j and d(r) is the number
%   of edges out of r, so a similarity may exceed 1, and a pair whose union is
%   0 (d(j) = 0 and C(r,j) = d(r)) is dropped.
%
%   Inputs
%     G          n-by-n sparse matrix, double or logical: the graph
%     threshold  a number (default 0); only similarities strictly above it are
%                kept, so a negative one keeps every pair sharing a neighbour
%                and NaN keeps nothing
%
%   Output
%     S          n-by-n sparse double matrix with room for nnz (S) entries
%
%   How, and the memory it takes
%     C is never formed: the call works row by row with a count and a list
%     for every node, keeps the pairs that pass THRESHOLD in workspace that
%     grows as it fills (8 bytes a pair; one of each mirror pair when G is
%     symmetric, the other mirrored when S is written), and then creates S
%     with exactly the room needed. Its memory is about G, twice S and a few
%     vectors of n numbers.
%     With THRESHOLD above 0 and G symmetric, where an estimate of the work
%     says it pays (high thresholds on graphs with nodes of high degree),
%     the call skips the pairs that cannot pass: a pair above THRESHOLD
%     must have degrees close enough and share more neighbours than its
%     degrees set, so it shares one among the first of each node's
%     neighbours ordered from the fewest edges to the most. Only the pairs
%     sharing such a neighbour are counted in full; the result is the same.
%     This takes up to 16 bytes more an edge of G.
%
%   Threads
%     A call with the work for it shares its rows among threads, each
%     round of about a sixty-fourth of the work sliced among them by the
%     products of its rows; a call of little work (below about 4 x 10^6
%     products and edges) stays on one thread, as before. How many: what
%     maxNumCompThreads answers (in MATLAB its computational threads, 1 on
%     the workers of a parallel pool, which stay at one; in Octave the
%     processors it may use, or the number maxNumCompThreads (n) set, which
%     counts here whatever Octave's warning says), else the environment
%     variable OMP_NUM_THREADS, else the processors this process may run on
%     (taskset, cgroups); at most 64. Setting maxNumCompThreads (n) changes
%     it for the calls that follow. S, the printed lines and the errors are
%     the same on any number of threads, bit for bit. Each thread takes a
%     few vectors of n numbers of its own; the pairs of a round (at most
%     about 4 x 10^6 between all the threads, 8 bytes each) are held apart
%     until they join the pairs kept; writing S, each thread takes 8 bytes
%     a node to place its entries.
%
%   Printed lines
%     Nothing before the checks. Then
%     "neighborJaccard: n = <n>, nnz(G) = <edges>, threshold = <threshold>"
%     and, last, "neighborJaccard: nnz(S) = <entries>". A call of 10^8 or more
%     products (one for each path r -> k -> j, or d(d+1)/2 through a node of
%     degree d when G is symmetric; about a second of work) also prints
%     "neighborJaccard: <p>% done" each time another tenth of its work is done
%     (of the products, or of the neighbours it looks up where it skips),
%     flushed so that it shows while the call runs.
%
%   Example: pairs of a network of 200 nodes sharing more than a third of
%   their neighbours
%     G = sprand (200, 200, 0.05) > 0;
%     G = double (G | G');
%     J = neighborJaccard (G, 1/3);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:neighborJaccard:wrongrhs      no input, or more than two
%     MATLAB:neighborJaccard:wronglhs      more than one output asked for (none
%                                          is fine: S becomes ans)
%     MATLAB:neighborJaccard:notsparse     G is full, or sparse of a class other
%                                          than double and logical
%     MATLAB:neighborJaccard:square        G is not square
%     MATLAB:neighborJaccard:complex       G is complex
%     MATLAB:neighborJaccard:toolarge      G has 2^31 or more rows
%     MATLAB:neighborJaccard:notnumber     threshold holds no number: empty,
%                                          sparse, a cell or a struct
%     MATLAB:neighborJaccard:toomany       G stores 2^31 or more entries
%     MATLAB:neighborJaccard:malformed     G is not a well-formed sparse matrix:
%                                          a row index past the last row, rows
%                                          not ascending within a column, or
%                                          column starts that decrease
%     MATLAB:neighborJaccard:nomem         at any point of the work: the host
%                                          answered a request for memory
%                                          (workspace or S) with null (Octave's
%                                          mxRealloc can); the host frees the
%                                          workspace. A host that ends the call
%                                          itself when it has no memory raises
%                                          its own error instead (MATLAB:nomem
%                                          in MATLAB).
%     MATLAB:neighborJaccard:toomanypairs  after the pass, before S exists: S
%                                          would hold more than 2147483647
%                                          entries
%
%   Odd inputs, and what they get
%     threshold of another class (logical, char, an integer class, complex)
%       or with several elements: read as a number, its first element ('a'
%       is 97, a complex number its real part)
%     edge weights other than 1, negative, NaN: an edge wherever the stored
%       value is not 0
%     threshold NaN: nothing stored

%!shared G
%! G = sparse ([0 1 1 0; 1 0 1 0; 1 1 0 1; 0 0 1 0]);

%!test
%! ## the worked example: every pair sharing a neighbour
%! evalc ('S = neighborJaccard (G);');
%! assert (full (S), [1 1/3 1/4 1/2; 1/3 1 1/4 1/2; 1/4 1/4 1 0; 1/2 1/2 0 1]);
%! assert (nzmax (S), 14);

%!test
%! ## equal to tessaly (P * P, d, t) on random graphs, entry for entry, with exact room
%! rand ("seed", 42);
%! for round = 1:60
%!   n = 1 + floor (40 * rand ());
%!   A = sprand (n, n, 0.3 * rand ());
%!   if (rand () < 0.5) A = A + A'; end         # undirected
%!   if (rand () < 0.5) A = A - diag (diag (A)); end   # without self-loops
%!   isolated = rand (1, n) < 0.2;
%!   A(isolated, :) = 0; A(:, isolated) = 0;
%!   if (rand () < 0.3) A = A != 0; end          # logical
%!   t = [-1, 0, 1/3, 1/2, 1, NaN, rand()](1 + floor (7 * rand ()));
%!   P = spones (A);
%!   evalc ('S = neighborJaccard (A, t); T = tessaly (P * P, full (sum (P, 2)), t);');
%!   assert (S, T);
%!   assert (nzmax (S), max (nnz (T), 1));
%! end

%!test
%! out = evalc ('S = neighborJaccard (G, 0.3);');
%! assert (out, ["neighborJaccard: n = 4, nnz(G) = 8, threshold = 0.300000\n", ...
%!               "neighborJaccard: nnz(S) = 10\n"]);

%!error <One or two inputs> neighborJaccard ()
%!error <One output at most> [a, b] = neighborJaccard (G)
%!error <sparse double or logical> neighborJaccard (full (G))
%!error <must be square> neighborJaccard (sparse (3, 4))
%!error <must be real> neighborJaccard (complex (G))
%!error <must be a number> neighborJaccard (G, [])
