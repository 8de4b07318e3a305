% S = corvane (A, B, w, end)
%
%   Weighted merge of two networks over the same nodes, each held as a square
%   sparse matrix of the same size.
%
%   Inside the leading block, rows and columns 1 to END, each entry of S is
%   (1 - W) * A(i,j) + W * B(i,j), an entry missing from one matrix counting
%   as 0. Outside that block each entry is A(i,j) alone: B contributes nothing
%   there. Only results greater than 0 are stored.
%
%   Inputs
%     A, B  n-by-n real sparse double matrices of the same size
%     w     the weight of B inside the block, any number. With finite values 0
%           keeps A and 1 takes B; a weight of 0 does not cancel an infinite
%           value (0 * Inf is NaN), so at W = 0 an infinite B inside the block
%           gives NaN there, which is not stored, and so does an infinite A at
%           W = 1.
%     end   the last row and column of the weighted block, truncated toward
%           zero (2.9 is 2, -0.5 is 0). 0 weights nothing; END at or above n,
%           a negative END, or one that is not a finite 32-bit number weights
%           every entry.
%
%   Output
%     S     n-by-n sparse double matrix, with room for the entries A and B
%           store together, nnz (A) + nnz (B)
%
%   Printed lines
%     First the argument counts ("corvane: nlhs = 1, nrhs = 4"), then W and
%     END as read, the sizes of A and B and the room reserved; these come
%     before the checks of the inputs, so a wrong call prints them too (the
%     counts line alone when the counts are wrong). Then "starting corvane
%     ...", a line "corvane nnz=<k> M" each time another 1,000,000 entries
%     are stored, and the final count, "end corvane => nnz=<stored>".
%
%   Example: the mean of two networks over the same 200 nodes, friendship and
%   collaboration, taken on their first 50 nodes; the other nodes keep their
%   friendships alone
%     friendship = sprand (200, 200, 0.05) > 0;
%     friendship = double (friendship | friendship');
%     collaboration = sprand (200, 200, 0.05);
%     S = corvane (friendship, collaboration + collaboration', 0.5, 50);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:corvane:wrongrhs   no output, or more than one, asked for
%     MATLAB:corvane:wrongrhs   not four inputs
%     MATLAB:tessaly:matchdims  A and B differ in size
%     MATLAB:tessaly:square     A is not square
%     MATLAB:corvane:notsparse  A or B is not a real sparse double matrix:
%                               full, logical, complex or of another class
%     MATLAB:corvane:notnumber  W or END holds no number: empty, sparse, a
%                               cell or a struct
%     MATLAB:corvane:toolarge   2^31 or more rows
%     MATLAB:corvane:toomany    A and B together store 2^31 or more entries
%     MATLAB:corvane:nomem      the host answered the request for S's memory
%                               with null (Octave's mxRealloc can); a host
%                               that ends the call itself when it has no
%                               memory raises its own error instead
%                               (MATLAB:nomem in MATLAB)
%
%   Odd inputs, and what they get
%     W or END of another class (logical, char, an integer class, complex) or
%       with several elements: read as a number, its first element ('a' is
%       97, a complex number its real part)
%     W NaN or infinite: computed as given; results that are NaN are not
%       stored
%     END negative after truncation, NaN, infinite, 2^31 or more: every entry
%       weighted
%     END 0 or fractional: truncated; 0 keeps A's positive entries

%!shared A, B
%! A = sparse ([1 0 2; 0 3 0; 4 0 0]);
%! B = sparse ([3 0 0; 2 -3 0; 0 0 5]);

%!test
%! evalc ('S = corvane (A, B, 0.5, 2);');
%! assert (full (S), [2 0 2; 1 0 0; 4 0 0]);
%! assert (nzmax (S), nnz (A) + nnz (B));

%!test
%! evalc ('S = corvane (A, B, 1, 3);');
%! assert (full (S), [3 0 0; 2 0 0; 0 0 5]);

%!test
%! ## a random pair against the weighted sum of full matrices
%! n = 40; rand ("seed", 7); randn ("seed", 7);
%! X = sprandn (n, n, 0.2); Y = sprandn (n, n, 0.2); w = 0.3; e = 25;
%! expected = full (X);
%! expected(1:e,1:e) = full ((1 - w) * X(1:e,1:e) + w * Y(1:e,1:e));
%! expected(expected <= 0) = 0;
%! evalc ('S = corvane (X, Y, w, e);');
%! assert (full (S), expected);
%! assert (all (nonzeros (S) > 0));

%!test
%! out = evalc ('S = corvane (A, B, 0.5, 2);');
%! assert (strncmp (out, "corvane: nlhs = 1, nrhs = 4\ncorvane: w=0.500000, end=2\n", 52));

%!error <Wrong number of output arguments> evalc ('corvane (A, B, 0.5, 2)')
%!error <Wrong number of input arguments> evalc ('S = corvane (A, B, 0.5)')
%!error <Inner dimensions of matrices do not match> evalc ('S = corvane (A, sparse (3, 4), 0.5, 2)')
%!error <must be square> evalc ('S = corvane (sparse (3, 4), sparse (3, 4), 0.5, 2)')
%!error <real sparse double> evalc ('S = corvane (full (A), B, 0.5, 2)')
%!error <must be numbers> evalc ('S = corvane (A, B, {}, 2)')
