% S = tessaly5 (nodeAtts, nodesToKeep, threshold, percentSparse)
%
%   Jaccard similarity of the attributes of every pair of listed nodes, kept
%   only above a threshold, in a result whose room the caller chooses.
%
%   For listed nodes p and q, S(q,p) is the number of attributes both hold
%   divided by the number either holds (0 when neither holds any); S(p,p) is 1.
%   Only similarities strictly greater than THRESHOLD are stored, so a
%   negative THRESHOLD stores every pair, zeros included, and a THRESHOLD of 1
%   or more, or NaN, stores nothing. Rows and columns of unlisted nodes are
%   empty; S is symmetric. attributeJaccard computes the same similarities in
%   a result sized exactly, without a room to choose.
%
%   Inputs
%     nodeAtts       full logical matrix, one row per attribute and one column
%                    per node (numAttrs-by-numNodes); any nonzero byte means
%                    the node holds the attribute
%     nodesToKeep    strictly ascending column vector of node numbers from 1 to
%                    numNodes; each is truncated toward zero (2.9 means node 2).
%                    Only its first column is read: a 1-by-K row vector is the
%                    single node in its first element.
%     threshold      a number
%     percentSparse  the room S gets, as a fraction of all K^2 pairs of the
%                    K = size (nodesToKeep, 1) listed nodes (0.1 a tenth, 1 all
%                    of them); not a percentage
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix with room for
%           fix (K^2 * percentSparse) entries, but never more than K^2, every
%           pair there is. When more pairs pass THRESHOLD than the room holds,
%           the call ends in MATLAB:tessaly5:noroom instead: raise
%           percentSparse or THRESHOLD.
%
%   How: the listed columns are packed once into bit sets of
%   K * (ceil (numAttrs / 64) + 1) words kept in the unused end of S's room,
%   and each pair is counted from those; where the room cannot hold them,
%   and for the last columns once the stored entries come near them, pairs
%   are counted from nodeAtts itself. No memory beyond S.
%
%   Printed lines
%     First the argument counts ("nlhs = 1, nrhs = 4"), then the table's size
%     ("nodeAtts dimensions: ...") and the parameters with the room the
%     fraction gives ("params: ... estNNZ = <room>"); these come before the
%     checks of the inputs, so a wrong call prints them too (the counts line
%     alone when the counts are wrong). Then "start tessaly5 ... ", a line
%     "tessaly5 nnz=<millions> M" every 10,000,000 stored entries, and the
%     stored count, "end tessaly5 => nnz=<stored>".
%
%   Example: similarity of the neighbourhoods of nodes 1 to 10 of a network
%   of 200 nodes, from its sparse adjacency matrix G (column v lists the
%   neighbours of node v), with room for every pair
%     G = sprand (200, 200, 0.05) > 0;
%     G = double (G | G');
%     S = tessaly5 (full (G ~= 0), (1:10)', 0.2, 1);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:tessaly:wrongrhs        no output, or more than one, asked for
%     MATLAB:tessaly:wrongrhs        not four inputs
%     MATLAB:tessaly5:notnumber      threshold or percentSparse holds no
%                                    number: empty, sparse, a cell or a struct
%     MATLAB:tessaly5:notlogical     nodeAtts is not a full logical matrix:
%                                    double, sparse, char...
%     MATLAB:tessaly5:notlist        nodesToKeep is not a real full double
%                                    array (int32, logical, sparse, complex,
%                                    a cell...), or has rows and no columns
%     MATLAB:tessaly5:toolarge       2^31 or more nodes or attributes
%     MATLAB:tessaly5:badnode        a node number is NaN, infinite or,
%                                    truncated, outside 1 to numNodes
%     MATLAB:tessaly5:notascending   node numbers, truncated, do not ascend
%                                    strictly (descending, repeated, 2 and 2.5)
%     MATLAB:tessaly5:badcapacity    percentSparse gives a room that is
%                                    negative, NaN, or 2^64 or more
%     MATLAB:tessaly5:nomem          the host answered the request for S's
%                                    memory with null (Octave's mxRealloc
%                                    can); a host that ends the call itself
%                                    when it has no memory raises its own
%                                    error instead (MATLAB:nomem in MATLAB)
%     MATLAB:tessaly5:noroom         after the pass: more pairs passed the
%                                    threshold than the room holds. The call
%                                    prints "tessaly5: the result needs <n>
%                                    entries but has room for <room>" and
%                                    returns no result.
%
%   Odd inputs, and what they get
%     threshold or percentSparse of another class (logical, char, an integer
%       class, complex) or with several elements: read as a number, its first
%       element ('a' is 97, a complex number its real part)
%     nodeAtts bytes other than 0 and 1: any nonzero byte is held
%     nodesToKeep a 1-by-K row vector, or a matrix: its first column is the
%       list, so a row vector lists its first element alone
%     percentSparse giving more room than K^2: room for K^2
%     threshold NaN, or 1 or more: nothing stored; a negative one stores every
%       pair

%!shared A
%! A = logical ([1 0 0 1; 1 1 0 1; 0 1 0 1]);

%!test
%! evalc ('S = tessaly5 (A, [1; 2; 4], 0.4, 1);');
%! assert (full (S), [1 0 0 2/3; 0 1 0 2/3; 0 0 0 0; 2/3 2/3 0 1]);
%! assert (nzmax (S), 9);

%!test
%! out = evalc ('S = tessaly5 (A, [1; 2; 4], 0.4, 1);');
%! assert (out, ["nlhs = 1, nrhs = 4\n", ...
%!               "nodeAtts dimensions: numNodes=4, numAttrs=3\n", ...
%!               "params: threshold = 0.400000, percentSparse = 1.000000, numNodesToKeep= 3, estNNZ = 9\n", ...
%!               "start tessaly5 ... \n", "end tessaly5 => nnz=7\n"]);

%!test
%! ## a negative threshold stores every pair, similarity 0 included
%! evalc ('S = tessaly5 (A, [1; 3], -1, 1);');
%! assert (nnz (S), 4);
%! assert (full (S([1 3], [1 3])), eye (2));

%!test
%! ## random tables against the plain Jaccard similarity
%! rand ("seed", 3);
%! X = rand (12, 30) < 0.3; keep = find (rand (30, 1) < 0.6);
%! both = double (X(:,keep))' * double (X(:,keep));
%! held = sum (X(:,keep), 1);
%! either = held' + held - both;
%! expected = zeros (size (both));
%! expected(either > 0) = both(either > 0) ./ either(either > 0);
%! expected(logical (eye (numel (keep)))) = 1;
%! expected(expected <= 0.25) = 0;
%! evalc ('S = tessaly5 (X, keep, 0.25, 1);');
%! assert (full (S(keep, keep)), expected, eps);
%! assert (nnz (S), nnz (expected));

%!error <Wrong number of output arguments> evalc ('tessaly5 (A, 1, 0.5, 1)')
%!error <Wrong number of input arguments> evalc ('S = tessaly5 (A, 1, 0.5)')
%!error <full logical matrix> evalc ('S = tessaly5 (double (A), 1, 0.5, 1)')
%!error <must ascend strictly> evalc ('S = tessaly5 (A, [2; 1], 0.5, 1)')
%!error <from 1 to the number of nodes> evalc ('S = tessaly5 (A, [1; 5], 0.5, 1)')
%!error <raise percentSparse or the threshold> evalc ('S = tessaly5 (A, [1; 2; 4], 0.1, 0.5)')
