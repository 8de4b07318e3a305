% S = tessaly5b (nodeAtts, nodesToKeep, threshold)
%
%   Jaccard similarity of the attributes of every pair of listed nodes, kept
%   only above a threshold, with room for a quarter of all pairs.
%
%   The same as tessaly5 (nodeAtts, nodesToKeep, threshold, 0.25), with its own
%   lines; a list of one to three nodes gets room for at least its diagonal.
%   For listed nodes p and q, S(q,p) is the number of attributes both hold
%   divided by the number either holds (0 when neither holds any); S(p,p) is 1.
%   Only similarities strictly greater than THRESHOLD are stored, so a
%   negative THRESHOLD stores every pair, zeros included, and a THRESHOLD of 1
%   or more, or NaN, stores nothing. Rows and columns of unlisted nodes are
%   empty; S is symmetric.
%
%   Inputs
%     nodeAtts     full logical matrix, one row per attribute and one column
%                  per node (numAttrs-by-numNodes); any nonzero byte means the
%                  node holds the attribute
%     nodesToKeep  strictly ascending column vector of node numbers from 1 to
%                  numNodes, each truncated toward zero (2.9 means node 2).
%                  Only its first column is read: a 1-by-K row vector is the
%                  single node in its first element.
%     threshold    a number
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix with room for
%           fix (K^2 * 0.25) entries and at least K, where K is the number of
%           listed nodes, size (nodesToKeep, 1). When more pairs pass
%           THRESHOLD than the room holds, the call ends in
%           MATLAB:tessaly5b:noroom instead: raise THRESHOLD, or call tessaly5
%           with a larger percentSparse.
%
%   How: the listed columns are packed once into bit sets of
%   K * (ceil (numAttrs / 64) + 1) words kept in the unused end of S's room,
%   and each pair is counted from those; where the room cannot hold them,
%   and for the last columns once the stored entries come near them, pairs
%   are counted from nodeAtts itself. No memory beyond S.
%
%   Printed lines
%     First the argument counts ("nlhs = 1, nrhs = 3"), then the table's size
%     ("nodeAtts dimensions: ...") and the parameters with a quarter of all
%     pairs ("params: ... estNNZ = <fix (K^2 * 0.25)>"); these come before the
%     checks of the inputs, so a wrong call prints them too (the counts line
%     alone when the counts are wrong). Then "start tessaly5b ... ", a line
%     "tessaly5b nnz=<millions> M" every 10,000,000 stored entries, and the
%     stored count, "end tessaly5b => nnz=<stored>".
%
%   Example: pairs of nodes sharing more than half of the attributes either
%   holds, from a full logical table nodeAtts of 25 attributes of 40 nodes,
%   one column per node
%     nodeAtts = rand (25, 40) < 0.2;
%     S = tessaly5b (nodeAtts, (1:size (nodeAtts, 2))', 0.5);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:tessaly:wrongrhs         no output, or more than one, asked for
%     MATLAB:tessaly:wrongrhs         not three inputs
%     MATLAB:tessaly5b:notnumber      threshold holds no number: empty,
%                                     sparse, a cell or a struct
%     MATLAB:tessaly5b:notlogical     nodeAtts is not a full logical matrix:
%                                     double, sparse, char...
%     MATLAB:tessaly5b:notlist        nodesToKeep is not a real full double
%                                     array (int32, logical, sparse, complex,
%                                     a cell...), or has rows and no columns
%     MATLAB:tessaly5b:toolarge       2^31 or more nodes or attributes
%     MATLAB:tessaly5b:badnode        a node number is NaN, infinite or,
%                                     truncated, outside 1 to numNodes
%     MATLAB:tessaly5b:notascending   node numbers, truncated, do not ascend
%                                     strictly (descending, repeated, 2 and
%                                     2.5)
%     MATLAB:tessaly5b:nomem          the host answered the request for S's
%                                     memory with null (Octave's mxRealloc
%                                     can); a host that ends the call itself
%                                     when it has no memory raises its own
%                                     error instead (MATLAB:nomem in MATLAB)
%     MATLAB:tessaly5b:noroom         after the pass: more pairs passed the
%                                     threshold than the room holds. The call
%                                     prints "tessaly5b: the result needs <n>
%                                     entries but has room for <room>" and
%                                     returns no result.
%
%   Odd inputs, and what they get
%     threshold of another class (logical, char, an integer class, complex)
%       or with several elements: read as a number, its first element ('a'
%       is 97, a complex number its real part)
%     nodeAtts bytes other than 0 and 1: any nonzero byte is held
%     nodesToKeep a 1-by-K row vector, or a matrix: its first column is the
%       list, so a row vector lists its first element alone
%     threshold NaN, or 1 or more: nothing stored; a negative one stores every
%       pair

%!shared A
%! A = logical ([1 0 0 1; 1 1 0 1; 0 1 0 1]);

%!test
%! ## four diagonal entries fill the room of 0.25 of 16 pairs exactly
%! evalc ('S = tessaly5b (A, [1; 2; 3; 4], 0.7);');
%! assert (full (S), eye (4));
%! assert (nzmax (S), 4);

%!test
%! ## three nodes: room for their diagonal although 0.25 of 9 pairs is 2
%! [out, S] = evalc ('tessaly5b (A, [1; 2; 3], 0.9)');
%! assert (full (S), diag ([1 1 1 0]));
%! assert (nzmax (S), 3);
%! assert (strfind (out, "estNNZ = 2"));

%!test
%! ## the same as tessaly5 where a quarter of all pairs is room enough
%! rand ("seed", 2);
%! X = rand (30, 40) < 0.3; keep = (2:3:38)';
%! evalc ('S = tessaly5 (X, keep, 0.4, 1); T = tessaly5b (X, keep, 0.4);');
%! assert (nnz (S) <= numel (keep)^2 / 4);
%! assert (full (T), full (S));

%!error <Wrong number of input arguments> evalc ('S = tessaly5b (A, 1, 0.5, 1)')
%!error <full logical matrix> evalc ('S = tessaly5b (sparse (A), 1, 0.5)')
%!error <must be a number> evalc ('S = tessaly5b (A, 1, "")')
%!error <call tessaly5 with a larger percentSparse> evalc ('S = tessaly5b (true (2, 8), (1:8)'', 0.5)')
