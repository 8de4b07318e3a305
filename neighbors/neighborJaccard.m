% S = neighborJaccard (G, threshold)
%
%   Jaccard similarity of the neighbourhoods of every pair of nodes that share
%   a neighbour, straight from the graph, without forming G * G.
%
%   With P the 0/1 pattern of the edges of G, C = P * P the common-neighbour
%   counts and d = full (sum (P, 2)) the degrees, S is exactly
%   tessaly (C, d, threshold): for every pair with C(r,j) > 0, the union
%   (d(r) + d(j)) - C(r,j); where it is above 0, S(r,j) = C(r,j) / union,
%   stored only when strictly greater than THRESHOLD. The values, their order
%   (rows ascending in each column) and the stored entries are the same as
%   tessaly's, but S has room for exactly the entries it stores and C is never
%   built: the call needs memory for S, the pairs it keeps until S is made (8
%   bytes each; one of each mirror pair when G is symmetric) and a few vectors
%   of n numbers.
%
%   An edge is a stored entry of G that is not 0: edge weights are ignored, a
%   NaN entry is an edge, a stored 0 is not. G need not be symmetric: for a
%   directed graph C(r,j) counts the paths r -> k -> j and d(r) is the number
%   of edges out of r, so a similarity may exceed 1, and a pair whose union is
%   0 is dropped.
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
%   The call prints a line with n, nnz (G) and the threshold, and a closing
%   line with nnz (S). A call with about 10^8 or more products (one for each
%   path r -> k -> j; d(d+1)/2 through a node of degree d when G is symmetric,
%   about a second of work) prints a line each time another tenth of them is
%   done.
%
%   Example: pairs of a network sharing more than a third of their neighbours
%     J = neighborJaccard (G, 1/3);
%
%   Errors
%     MATLAB:neighborJaccard:wrongrhs      not one or two inputs
%     MATLAB:neighborJaccard:wronglhs      more than one output
%     MATLAB:neighborJaccard:notsparse     G is not a sparse double or logical matrix
%     MATLAB:neighborJaccard:square        G is not square
%     MATLAB:neighborJaccard:complex       G is complex
%     MATLAB:neighborJaccard:toolarge      G has 2^31 or more rows
%     MATLAB:neighborJaccard:notnumber     threshold holds no number (empty,
%                                          cell, sparse...)
%     MATLAB:neighborJaccard:toomany       G stores 2^31 or more entries
%     MATLAB:neighborJaccard:malformed     G's row indices or column starts are
%                                          not those of a sparse matrix
%     MATLAB:neighborJaccard:toomanypairs  S would hold more than 2147483647 entries
%     MATLAB:neighborJaccard:nomem         the host could not give the memory the
%                                          call needs (a host that ends the call
%                                          itself raises its own error instead)

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
