% S = tessaly5b (nodeAtts, nodesToKeep, threshold)
%
%   Jaccard similarity of the attributes of every pair of listed nodes, kept
%   only above a threshold, with room for a quarter of all pairs.
%
%   The same as tessaly5 (nodeAtts, nodesToKeep, threshold, 0.25), with its own
%   lines; a list of one to three nodes gets room for at least its diagonal.
%   For listed nodes p and q, S(q,p) is the number of attributes both hold
%   divided by the number either holds (0 when neither holds any); S(p,p) is 1.
%   Only similarities strictly greater than THRESHOLD are stored.
%
%   Inputs
%     nodeAtts     full logical matrix, one row per attribute and one column
%                  per node (numAttrs-by-numNodes)
%     nodesToKeep  strictly ascending column vector of node numbers from 1 to
%                  numNodes, each truncated toward zero; only its first column
%                  is read
%     threshold    a number
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix with room for
%           fix (K^2 * 0.25) entries, at least K, for the K = size (nodesToKeep, 1)
%           listed nodes
%
%   The call prints its arguments, the table's size, the room it reserves, a
%   progress line every 10,000,000 stored entries and the final count.
%
%   Example: pairs of nodes sharing more than half of the attributes either
%   holds, from a full logical table nodeAtts with one column per node
%     S = tessaly5b (nodeAtts, (1:size (nodeAtts, 2))', 0.5);
%
%   Errors
%     MATLAB:tessaly:wrongrhs         not exactly one output and three inputs
%     MATLAB:tessaly5b:notnumber      threshold holds no number
%     MATLAB:tessaly5b:notlogical     nodeAtts is not a full logical matrix
%     MATLAB:tessaly5b:notlist        nodesToKeep is not a real full double vector
%     MATLAB:tessaly5b:toolarge       2^31 or more nodes or attributes
%     MATLAB:tessaly5b:badnode        a node number is not finite or, truncated,
%                                     lies outside 1 to numNodes
%     MATLAB:tessaly5b:notascending   node numbers, truncated, do not ascend strictly
%     MATLAB:tessaly5b:noroom         more pairs pass the threshold than the room
%                                     holds; the call prints how many were needed
%                                     and returns no result

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
