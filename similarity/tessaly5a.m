% S = tessaly5a (nodeAtts, nodesToKeep, threshold)
%
%   Jaccard similarity of every pair of listed nodes from a numeric 0/1 table
%   with one row per node, kept only above a threshold, with room for 0.33 of
%   all pairs.
%
%   For each attribute the two nodes' values are truncated toward zero and
%   added: a sum of 1 counts the attribute as held by either node, a sum of 2 as
%   held by both, any other sum as neither. S(q,p) is held-by-both over
%   held-by-either (0 when no attribute is held); S(p,p) is 1. For a table of
%   0 and 1 this is the Jaccard similarity of the rows, the same as
%   tessaly5b (logical (nodeAtts'), nodesToKeep, threshold). Other values count
%   as the rule says (2 with 0 is shared, 1 with 2 is neither, 0.7 is 0); NaN
%   counts as 0, and values beyond the 32-bit integers as the nearest of
%   -2147483648 and 2147483647. Only similarities strictly greater than
%   THRESHOLD are stored.
%
%   Inputs
%     nodeAtts     real full double matrix, one row per node and one column per
%                  attribute (numNodes-by-numAttrs)
%     nodesToKeep  strictly ascending column vector of node numbers from 1 to
%                  numNodes, each truncated toward zero; only its first column
%                  is read
%     threshold    a number
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix with room for
%           fix (K^2 * 0.33) entries, at least K, for the K = size (nodesToKeep, 1)
%           listed nodes
%
%   The call prints its arguments, the table's size, the room it reserves, a
%   progress line every 1000 stored entries and the final count.
%
%   Example: members of a club alike in more than two thirds of the groups
%   either belongs to, from a 0/1 double table memberships with one row per
%   member and one column per group
%     S = tessaly5a (memberships, (1:size (memberships, 1))', 2/3);
%
%   Errors
%     MATLAB:tessaly:wrongrhs         not exactly one output and three inputs
%     MATLAB:tessaly5a:notnumber      threshold holds no number
%     MATLAB:tessaly5a:notdouble      nodeAtts is not a real full double matrix
%     MATLAB:tessaly5a:notlist        nodesToKeep is not a real full double vector
%     MATLAB:tessaly5a:toolarge       2^31 or more nodes or attributes
%     MATLAB:tessaly5a:badnode        a node number is not finite or, truncated,
%                                     lies outside 1 to numNodes
%     MATLAB:tessaly5a:notascending   node numbers, truncated, do not ascend strictly
%     MATLAB:tessaly5a:noroom         more pairs pass the threshold than the room
%                                     holds; the call prints how many were needed
%                                     and returns no result

%!shared T
%! T = [1 1; 1 1; 0 1; 0 0; 1 0];

%!test
%! out = evalc ('S = tessaly5a (T, (1:5)'', 0.6);');
%! assert (full (S), [1 1 0 0 0; 1 1 0 0 0; 0 0 1 0 0; 0 0 0 1 0; 0 0 0 0 1]);
%! assert (nzmax (S), 8);
%! assert (out, ["nlhs = 1, nrhs = 3\n", ...
%!               "nodeAtts dimensions: numNodes=5, numAttrs=2\n", ...
%!               "params: threshold = 0.600000, numNodesToKeep= 5, estNNZ = 8\n", ...
%!               "start tessaly5a ... \n", "end tessaly5a => nnz=7\n"]);

%!test
%! ## the sum rule: [2 0] and [0 1] share one of two; [1 0] and [2 0] hold nothing,
%! ## nor does [5 5] with any row
%! evalc ('S = tessaly5a ([2 0; 0 1; 1 0; 2 0; 5 5; 5 5], (1:6)'', 0.4);');
%! assert (full (S(1:4,1:4)), [1 0.5 0 0; 0.5 1 0 0.5; 0 0 1 0; 0 0.5 0 1]);
%! assert (nnz (S), 10);

%!test
%! ## a 0/1 table gives what tessaly5b gives on its logical transpose
%! rand ("seed", 5);
%! X = double (rand (40, 9) < 0.4); keep = find (rand (40, 1) < 0.5);
%! evalc ('S = tessaly5a (X, keep, 0.5); L = tessaly5 (logical (X''), keep, 0.5, 0.25);');
%! assert (nnz (S) > numel (keep));
%! assert (full (S), full (L));

%!error <Wrong number of output arguments> evalc ('[S, U] = tessaly5a (T, 1, 0.5)')
%!error <real full double matrix> evalc ('S = tessaly5a (logical (T), 1, 0.5)')
%!error <column vector of node numbers> evalc ('S = tessaly5a (T, int32 (1), 0.5)')
%!error <from 1 to the number of nodes> evalc ('S = tessaly5a (T, NaN, 0.5)')
%!error <raise the threshold> evalc ('S = tessaly5a (ones (4, 1), (1:4)'', 0.5)')
