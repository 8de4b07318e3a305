% S = neighborOverlap (G, threshold)
%
%   Overlap of the neighbourhoods of every pair of nodes that share a
%   neighbour, straight from the graph, without forming G * G.
%
%   With P the 0/1 pattern of the edges of G, C = P * P the common-neighbour
%   counts and d = full (sum (P, 2)) the degrees, S holds the entries of
%   Vostrel (C, d') strictly above THRESHOLD: for every pair with C(r,j) > 0,
%   S(r,j) = C(r,j) / min (d(r), d(j)), the share of the smaller neighbourhood
%   the two nodes have in common. A smaller degree of 0 gives Inf. The values
%   are Vostrel's to the last bit, rows ascend in each column, and S has room
%   for exactly the entries it stores.
%
%   An edge is a stored entry of G that is not 0: edge weights are ignored, a
%   NaN entry is an edge, a stored 0 is not. G need not be symmetric: for a
%   directed graph C(r,j) counts the paths r -> k -> j and d(r) is the number
%   of edges out of r, so an overlap may exceed 1, and one whose node j has no
%   edge out is Inf.
%
%   Inputs
%     G          n-by-n sparse matrix, double or logical: the graph
%     threshold  a number (default 0); only overlaps strictly above it are
%                kept, so a negative one keeps every pair sharing a neighbour
%                and NaN or Inf keeps nothing
%
%   Output
%     S          n-by-n sparse double matrix with room for nnz (S) entries
%
%   How, the memory it takes and the threads it runs on: as neighborJaccard
%   (see help neighborJaccard), whose pass it shares.
%
%   Printed lines
%     Nothing before the checks. Then
%     "neighborOverlap: n = <n>, nnz(G) = <edges>, threshold = <threshold>"
%     and, last, "neighborOverlap: nnz(S) = <entries>". A call of 10^8 or more
%     products (one for each path r -> k -> j, or d(d+1)/2 through a node of
%     degree d when G is symmetric; about a second of work) also prints
%     "neighborOverlap: <p>% done" each time another tenth of its work is done
%     (of the products, or of the neighbours it looks up where it skips),
%     flushed so that it shows while the call runs.
%
%   Example: pairs of a network of 200 nodes sharing more than half of the
%   smaller neighbourhood
%     G = sprand (200, 200, 0.05) > 0;
%     G = double (G | G');
%     O = neighborOverlap (G, 0.5);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:neighborOverlap:wrongrhs      no input, or more than two
%     MATLAB:neighborOverlap:wronglhs      more than one output asked for (none
%                                          is fine: S becomes ans)
%     MATLAB:neighborOverlap:notsparse     G is full, or sparse of a class other
%                                          than double and logical
%     MATLAB:neighborOverlap:square        G is not square
%     MATLAB:neighborOverlap:complex       G is complex
%     MATLAB:neighborOverlap:toolarge      G has 2^31 or more rows
%     MATLAB:neighborOverlap:notnumber     threshold holds no number: empty,
%                                          sparse, a cell or a struct
%     MATLAB:neighborOverlap:toomany       G stores 2^31 or more entries
%     MATLAB:neighborOverlap:malformed     G is not a well-formed sparse matrix:
%                                          a row index past the last row, rows
%                                          not ascending within a column, or
%                                          column starts that decrease
%     MATLAB:neighborOverlap:nomem         at any point of the work: the host
%                                          answered a request for memory
%                                          (workspace or S) with null (Octave's
%                                          mxRealloc can); the host frees the
%                                          workspace. A host that ends the call
%                                          itself when it has no memory raises
%                                          its own error instead (MATLAB:nomem
%                                          in MATLAB).
%     MATLAB:neighborOverlap:toomanypairs  after the pass, before S exists: S
%                                          would hold more than 2147483647
%                                          entries
%
%   Odd inputs, and what they get
%     threshold of another class (logical, char, an integer class, complex)
%       or with several elements: read as a number, its first element ('a'
%       is 97, a complex number its real part)
%     edge weights other than 1, negative, NaN: an edge wherever the stored
%       value is not 0
%     threshold NaN or Inf: nothing stored

%!shared G
%! G = sparse ([0 1 1 0; 1 0 1 0; 1 1 0 1; 0 0 1 0]);

%!test
%! ## the worked example: every pair sharing a neighbour
%! evalc ('S = neighborOverlap (G);');
%! assert (full (S), [1 1/2 1/2 1; 1/2 1 1/2 1; 1/2 1/2 1 0; 1 1 0 1]);
%! assert (nzmax (S), 14);

%!test
%! ## the entries of Vostrel (P * P, d') above t on random graphs, with exact room
%! rand ("seed", 43);
%! for round = 1:60
%!   n = 1 + floor (40 * rand ());
%!   A = sprand (n, n, 0.3 * rand ());
%!   if (rand () < 0.5) A = A + A'; end         # undirected
%!   if (rand () < 0.5) A = A - diag (diag (A)); end   # without self-loops
%!   isolated = rand (1, n) < 0.2;
%!   A(isolated, :) = 0; A(:, isolated) = 0;
%!   if (rand () < 0.3) A = A != 0; end          # logical
%!   t = [-1, 0, 1/2, 1, 2, Inf, NaN, rand()](1 + floor (8 * rand ()));
%!   P = spones (A);
%!   evalc ('S = neighborOverlap (A, t); V = Vostrel (P * P, full (sum (P, 2))'');');
%!   [i, j, v] = find (V);
%!   kept = v > t;
%!   assert (S, sparse (i(kept), j(kept), v(kept), n, n));
%!   assert (nzmax (S), max (nnz (kept), 1));
%! end

%!test
%! out = evalc ('S = neighborOverlap (G, 0.5);');
%! assert (out, ["neighborOverlap: n = 4, nnz(G) = 8, threshold = 0.500000\n", ...
%!               "neighborOverlap: nnz(S) = 8\n"]);

%!error <One or two inputs> neighborOverlap (G, 1, 2)
%!error <One output at most> [a, b] = neighborOverlap (G)
%!error <sparse double or logical> neighborOverlap (full (G) != 0)
%!error <must be square> neighborOverlap (sparse (3, 4))
%!error <must be real> neighborOverlap (complex (G))
%!error <must be a number> neighborOverlap (G, {1})
