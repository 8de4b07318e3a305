% S = tessaly5 (nodeAtts, nodesToKeep, threshold, percentSparse)
%
%   Jaccard similarity of the attributes of every pair of listed nodes, kept
%   only above a threshold.
%
%   For listed nodes p and q, S(q,p) is the number of attributes both hold
%   divided by the number either holds (0 when neither holds any); S(p,p) is 1.
%   Only similarities strictly greater than THRESHOLD are stored, so a
%   negative THRESHOLD stores every pair, zeros included, and a THRESHOLD of 1
%   or more, or NaN, stores nothing. Rows and columns of unlisted nodes are
%   empty; S is symmetric.
%
%   Inputs
%     nodeAtts       full logical matrix, one row per attribute and one column
%                    per node (numAttrs-by-numNodes)
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
%           fix (size (nodesToKeep, 1)^2 * percentSparse) entries, but never
%           more than size (nodesToKeep, 1)^2, every pair there is
%
%   The call prints its arguments, the table's size, the room it reserves, a
%   progress line every 10,000,000 stored entries and the final count.
%
%   Example: similarity of the neighbourhoods of nodes 1 to 10 of a network of
%   10 or more nodes, from its sparse adjacency matrix G (column v lists the
%   neighbours of node v), with room for every pair
%     S = tessaly5 (full (G ~= 0), (1:10)', 0.2, 1);
%
%   Errors
%     MATLAB:tessaly:wrongrhs        not exactly one output and four inputs
%     MATLAB:tessaly5:notnumber      threshold or percentSparse holds no number
%     MATLAB:tessaly5:notlogical     nodeAtts is not a full logical matrix
%     MATLAB:tessaly5:notlist        nodesToKeep is not a real full double vector
%     MATLAB:tessaly5:toolarge       2^31 or more nodes or attributes
%     MATLAB:tessaly5:badnode        a node number is not finite or, truncated,
%                                    lies outside 1 to numNodes
%     MATLAB:tessaly5:notascending   node numbers, truncated, do not ascend strictly
%     MATLAB:tessaly5:badcapacity    the room is negative, NaN, or 2^64 or more
%     MATLAB:tessaly5:noroom         more pairs pass the threshold than the room
%                                    holds; the call prints how many were needed
%                                    and returns no result

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
