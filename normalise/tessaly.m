% S = tessaly (C, d, threshold)
%
%   Jaccard similarity of neighbourhoods from common-neighbour counts.
%
%   For every entry C(r,j) that C stores, the union of the two neighbourhoods is
%   (d(r) + d(j)) - C(r,j). Where the union is greater than 0, S(r,j) is
%   C(r,j) / union, stored only when it is strictly greater than THRESHOLD.
%   Entries whose union is 0, negative or NaN are dropped without dividing; a
%   THRESHOLD that is NaN drops every entry. S holds its entries in C's order,
%   so under a negative THRESHOLD a stored zero of C stays a stored zero of S
%   where its union is greater than 0 (and is dropped where it is not).
%   neighborJaccard computes the same from the graph, without forming C.
%
%   Inputs
%     C          n-by-n real sparse double matrix of common-neighbour counts,
%                for example G * G of a 0/1 adjacency matrix G
%     d          n-by-1 real full double vector of degrees, full (sum (G, 2))
%     threshold  a number; only similarities strictly above it are kept
%
%   Output
%     S          n-by-n sparse double matrix, with room for nnz (C) entries
%
%   Printed lines
%     First the argument counts ("nlhs = 1, nrhs = 3"), before any check; then
%     the threshold as read ("threshold = 0.500000") and the sizes of C and d
%     ("dimensions: m=5, n=5, m2=5, n2=1"), before the checks of the inputs,
%     so a wrong call prints them too; last the number of entries C stores,
%     "tessaly: nnz = 21". No progress line.
%
%   Example: pairs of nodes whose neighbourhoods overlap in more than a third
%   of their union, from the sparse adjacency matrix G of a network of 200
%   nodes
%     G = sprand (200, 200, 0.05) > 0;
%     G = double (G | G');
%     J = tessaly (G * G, full (sum (G, 2)), 1/3);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:tessaly:wrongrhs    not three inputs
%     MATLAB:tessaly:matchdims   C and d have different numbers of rows (d
%                                given as a row vector, say)
%     MATLAB:tessaly:square      C is not square
%     MATLAB:tessaly:zerodivide  d has more than one column
%     MATLAB:tessaly:notsparse   C is not a real sparse double matrix: full,
%                                logical, complex or of another class
%     MATLAB:tessaly:toolarge    C has 2^31 or more rows
%     MATLAB:tessaly:toomany     C stores 2^31 or more entries
%     MATLAB:tessaly:notfull     d is not a real full double vector: sparse,
%                                complex, or not double
%     MATLAB:tessaly:notnumber   threshold holds no number: empty, sparse, a
%                                cell or a struct
%     MATLAB:tessaly:nomem       the host answered the request for S's memory
%                                with null (Octave's mxRealloc can); a host
%                                that ends the call itself when it has no
%                                memory raises its own error instead
%                                (MATLAB:nomem in MATLAB)
%
%   Odd inputs, and what they get
%     more than one output asked for: only the first is set, and the host
%       raises its own error for the rest
%     threshold of another class (logical, char, an integer class, complex)
%       or with several elements: read as a number, its first element ('a'
%       is 97, a complex number its real part)
%     counts or degrees NaN, infinite or negative: an entry whose union is
%       not above 0 is dropped, without dividing
%     threshold NaN: nothing stored

%!shared G, C, d
%! G = sparse ([0 1 1 0 0; 1 0 1 1 0; 1 1 0 1 0; 0 1 1 0 1; 0 0 0 1 0]);
%! C = G * G;
%! d = full (sum (G, 2));

%!test
%! ## every stored count against the plain formula, threshold 0.3
%! [i, j, v] = find (C);
%! s = v ./ (d(i) + d(j) - v);
%! keep = s > 0.3;
%! expected = sparse (i(keep), j(keep), s(keep), 5, 5);
%! evalc ('S = tessaly (C, d, 0.3);');
%! assert (S, expected);
%! assert (nzmax (S), nnz (C));
%! assert (full (diag (S)), ones (5, 1));

%!test
%! ## a similarity equal to the threshold is dropped
%! evalc ('S = tessaly (C, d, 1);');
%! assert (nnz (S), 0);
%! evalc ('S = tessaly (C, d, 1 - eps);');
%! assert (S, speye (5));

%!test
%! ## a random graph against the plain formula
%! rand ("seed", 11);
%! A = sprand (60, 60, 0.08) > 0; A = double (triu (A, 1)); A = sparse (A + A');
%! CC = A * A; dd = full (sum (A, 2));
%! [i, j, v] = find (CC);
%! s = v ./ (dd(i) + dd(j) - v);
%! keep = (dd(i) + dd(j) - v > 0) & s > 0.2;
%! evalc ('S = tessaly (CC, dd, 0.2);');
%! assert (S, sparse (i(keep), j(keep), s(keep), 60, 60));

%!test
%! out = evalc ('S = tessaly (C, d, 0.5);');
%! assert (out, ["nlhs = 1, nrhs = 3\nthreshold = 0.500000\n", ...
%!               "dimensions: m=5, n=5, m2=5, n2=1\ntessaly: nnz = 21\n"]);

%!test
%! evalc ('S = tessaly (C, d, NaN);');
%! assert (size (S), [5 5]);
%! assert (nnz (S), 0);

%!error <Wrong number of input arguments> evalc ('S = tessaly (C, d)')
%!error <Inner dimensions of matrices do not match> evalc ('S = tessaly (C, d'', 0.5)')
%!error <must be square> evalc ('S = tessaly (sparse (3, 4), ones (3, 1), 0.5)')
%!error <must be a column vector> evalc ('S = tessaly (sparse (1, 1), [1 2], 0.5)')
%!error <real sparse double> evalc ('S = tessaly (full (C), d, 0.5)')
%!error <real full double> evalc ('S = tessaly (C, single (d), 0.5)')
%!error <must be a number> evalc ('S = tessaly (C, d, [])')
