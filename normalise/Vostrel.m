% S = Vostrel (C, d)
%
%   Overlap coefficient of neighbourhoods from common-neighbour counts.
%
%   Every entry C(r,j) that C stores is divided by the smaller of the degrees
%   of r and j, each truncated toward zero: S(r,j) = C(r,j) / min (fix (d(r)),
%   fix (d(j))). S has exactly C's structure: the same stored positions, stored
%   zeros included; only the values differ. Nothing is filtered.
%   neighborOverlap computes the entries above a threshold from the graph,
%   without forming C.
%
%   A divisor of 0 is not guarded: a positive count becomes Inf, a negative one
%   -Inf and a stored 0 becomes NaN.
%
%   Degrees outside the 32-bit range or not numbers: the divisor is fix (d(r)),
%   replaced by fix (d(j)) when fix (d(r)) is greater than d(j). A degree that
%   is NaN counts as 0 and one beyond the 32-bit range as -2147483648 or
%   2147483647; a d(j) that is NaN never replaces fix (d(r)).
%
%   Inputs
%     C   n-by-n real sparse double matrix of common-neighbour counts,
%         for example G * G of a 0/1 adjacency matrix G
%     d   1-by-n real full double row vector of degrees, full (sum (G, 1));
%         n is taken from its number of columns
%
%   Output
%     S   n-by-n sparse double matrix with C's structure and room
%
%   Printed lines
%     Nothing before the checks; then one line, the number of entries C
%     stores ("nnz = 21"). No arguments and no progress line.
%
%   Example: the share of the smaller neighbourhood that two nodes have in
%   common, from the sparse adjacency matrix G of a network of 200 nodes
%     G = sprand (200, 200, 0.05) > 0;
%     G = double (G | G');
%     O = Vostrel (G * G, full (sum (G, 1)));
%
%   Errors, in the order the checks run (the function checks nothing else);
%   the first that fails ends the call and the caller gets no result
%     MATLAB:Vostrel:wrongrhs    fewer than two inputs
%     MATLAB:Vostrel:notsparse   C is not a real sparse double matrix: full,
%                                logical, complex or of another class
%     MATLAB:Vostrel:size        C is not n-by-n for the n columns of d (for
%                                example d given as an n-by-1 column)
%     MATLAB:Vostrel:toolarge    n is 2^31 or more
%     MATLAB:Vostrel:toomany     C stores 2^31 or more entries
%     MATLAB:Vostrel:notfull     d is not a real full double array: sparse,
%                                complex, or not double
%     MATLAB:Vostrel:fewdegrees  d holds fewer than n numbers (0-by-n)
%     MATLAB:Vostrel:nomem       the host answered the request for S's memory
%                                with null (Octave's mxRealloc can); a host
%                                that ends the call itself when it has no
%                                memory raises its own error instead
%                                (MATLAB:nomem in MATLAB)
%
%   Odd inputs, and what they get
%     more than two inputs: the rest are ignored
%     more than one output asked for: only the first is set, and the host
%       raises its own error for the rest
%     d with more than one row: its first n numbers are the degrees
%     degrees NaN, infinite, fractional or beyond the 32-bit range: truncated
%       (NaN as 0, beyond the range its nearest end), as above; a divisor of 0
%       gives Inf, -Inf or NaN

%!shared G, C, d
%! G = sparse ([0 1 1 0 0; 1 0 1 1 0; 1 1 0 1 0; 0 1 1 0 1; 0 0 0 1 0]);
%! C = G * G;
%! d = full (sum (G, 1));

%!test
%! ## every stored count over the smaller degree, with C's structure
%! [i, j, v] = find (C);
%! expected = sparse (i, j, v ./ min (d(i), d(j))', 5, 5);
%! evalc ('S = Vostrel (C, d);');
%! assert (S, expected);
%! assert (nnz (S), nnz (C));
%! assert (nzmax (S), nnz (C));

%!test
%! ## fractional degrees are truncated; a divisor of 0 gives Inf
%! evalc ('S = Vostrel (sparse ([2 1; 3 0]), [2.9 0.5]);');
%! assert (full (S), [1 Inf; Inf 0]);

%!test
%! ## a random graph against the plain formula; a third input is ignored
%! rand ("seed", 5);
%! A = sprand (50, 50, 0.1) > 0; A = double (triu (A, 1)); A = sparse (A + A');
%! CC = A * A; dd = full (sum (A, 1));
%! [i, j, v] = find (CC);
%! evalc ('S = Vostrel (CC, dd, "ignored");');
%! assert (S, sparse (i, j, v ./ min (dd(i), dd(j))', 50, 50));

%!test
%! assert (evalc ('S = Vostrel (C, d);'), "nnz = 21\n");

%!error <Two inputs are needed> Vostrel (C)
%!error <real sparse double> Vostrel (full (C), d)
%!error <n-by-n for the n columns of d> Vostrel (C, d')
%!error <real full double> Vostrel (C, int32 (d))
%!error <degree for each> Vostrel (C, zeros (0, 5))
