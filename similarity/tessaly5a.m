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
%   tessaly5b (logical (nodeAtts'), nodesToKeep, threshold) where both rooms
%   suffice. Only similarities strictly greater than THRESHOLD are stored, so
%   a negative THRESHOLD stores every pair, zeros included, and a THRESHOLD
%   of 1 or more, or NaN, stores nothing. Rows and columns of unlisted nodes
%   are empty; S is symmetric.
%
%   Inputs
%     nodeAtts     real full double matrix, one row per node and one column per
%                  attribute (numNodes-by-numAttrs), expected to hold 0 and 1
%     nodesToKeep  strictly ascending column vector of node numbers from 1 to
%                  numNodes, each truncated toward zero (2.9 means node 2).
%                  Only its first column is read: a 1-by-K row vector is the
%                  single node in its first element.
%     threshold    a number
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix with room for
%           fix (K^2 * 0.33) entries and at least K, where K is the number of
%           listed nodes, size (nodesToKeep, 1). When more pairs pass
%           THRESHOLD than the room holds, the call ends in
%           MATLAB:tessaly5a:noroom instead: raise THRESHOLD.
%
%   How: where every listed value truncates to 0 or 1, the listed rows are
%   packed once into bit sets of K * (ceil (numAttrs / 64) + 1) words kept
%   in the unused end of S's room, and each pair is counted from those; in a
%   room too small for them, for the last columns once the stored entries
%   come near them, and for tables with other values, pairs are counted
%   from nodeAtts itself. No memory beyond S.
%
%   Printed lines
%     First the argument counts ("nlhs = 1, nrhs = 3"), then the table's size
%     ("nodeAtts dimensions: ...") and the parameters with 0.33 of all pairs
%     ("params: ... estNNZ = <fix (K^2 * 0.33)>"); these come before the
%     checks of the inputs, so a wrong call prints them too (the counts line
%     alone when the counts are wrong). Then "start tessaly5a ... ", a line
%     "tessaly5a nnz=<thousands> K" every 1000 stored entries, and the stored
%     count, "end tessaly5a => nnz=<stored>".
%
%   Example: members of a club alike in more than two thirds of the groups
%   either belongs to, from a 0/1 double table memberships of 40 members in
%   12 groups, one row per member and one column per group
%     memberships = double (rand (40, 12) < 0.3);
%     S = tessaly5a (memberships, (1:size (memberships, 1))', 2/3);
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:tessaly:wrongrhs         no output, or more than one, asked for
%     MATLAB:tessaly:wrongrhs         not three inputs
%     MATLAB:tessaly5a:notnumber      threshold holds no number: empty,
%                                     sparse, a cell or a struct
%     MATLAB:tessaly5a:notdouble      nodeAtts is not a real full double
%                                     matrix: logical, single, sparse,
%                                     complex...
%     MATLAB:tessaly5a:notlist        nodesToKeep is not a real full double
%                                     array (int32, logical, sparse, complex,
%                                     a cell...), or has rows and no columns
%     MATLAB:tessaly5a:toolarge       2^31 or more nodes or attributes
%     MATLAB:tessaly5a:badnode        a node number is NaN, infinite or,
%                                     truncated, outside 1 to numNodes
%     MATLAB:tessaly5a:notascending   node numbers, truncated, do not ascend
%                                     strictly (descending, repeated, 2 and
%                                     2.5)
%     MATLAB:tessaly5a:nomem          the host answered the request for S's
%                                     memory with null (Octave's mxRealloc
%                                     can); a host that ends the call itself
%                                     when it has no memory raises its own
%                                     error instead (MATLAB:nomem in MATLAB)
%     MATLAB:tessaly5a:noroom         after the pass: more pairs passed the
%                                     threshold than the room holds. The call
%                                     prints "tessaly5a: the result needs <n>
%                                     entries but has room for <room>" and
%                                     returns no result.
%
%   Odd inputs, and what they get
%     threshold of another class (logical, char, an integer class, complex)
%       or with several elements: read as a number, its first element ('a'
%       is 97, a complex number its real part)
%     nodeAtts values other than 0 and 1: truncated and added per pair as
%       above, so 2 with 0 is shared, 1 with 2 is neither and 0.7 is 0; NaN
%       counts as 0, values beyond the 32-bit integers as the nearest of
%       -2147483648 and 2147483647, and the sum is formed in 64 bits
%     nodesToKeep a 1-by-K row vector, or a matrix: its first column is the
%       list, so a row vector lists its first element alone
%     threshold NaN, or 1 or more: nothing stored; a negative one stores every
%       pair

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
