% S = attributeJaccard (nodeAtts, nodesToKeep, threshold)
%
%   Jaccard similarity of the attributes of every pair of listed nodes, kept
%   only above a threshold, in a result with room for exactly what it stores.
%
%   For listed nodes p and q, S(q,p) is the number of attributes both hold
%   divided by the number either holds (0 when neither holds any); S(p,p) is 1.
%   Only similarities strictly greater than THRESHOLD are stored, so a
%   negative THRESHOLD stores every pair, zeros included, and a THRESHOLD of 1
%   or more, or NaN, stores nothing. Rows and columns of unlisted nodes are
%   empty; S is symmetric. The result is exactly, value for value and in the
%   same stored order, that of
%     tessaly5 (logical (full (nodeAtts ~= 0)), nodesToKeep, threshold, 1)
%   but nzmax (S) is nnz (S), and a sparse table is never made full.
%
%   Inputs
%     nodeAtts     logical or double matrix, full or sparse, one row per
%                  attribute and one column per node (numAttrs-by-numNodes); a
%                  node holds an attribute where its entry is nonzero (NaN is
%                  nonzero, -0 is not)
%     nodesToKeep  optional: strictly ascending column vector of node numbers
%                  from 1 to numNodes, each truncated toward zero (2.9 means
%                  node 2); left out or [] lists every node, zeros (0, 1) none
%     threshold    optional, default 0: a real number
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix
%
%   The call prints the table's size and storage, the number of listed nodes
%   and the threshold; when it has about a second of work or more, a line each
%   tenth of its two passes over the listed nodes; and the number of stored
%   entries. The work is counted over every unordered pair of listed nodes,
%   each node with itself included (K (K + 1) / 2 pairs for K listed nodes),
%   times one more than the 64-bit words of a node's attributes; 2^30 of it is
%   about a second.
%
%   Example: members of a club most alike in their memberships, one column per
%   member and one row per group, kept sparse
%     S = attributeJaccard (memberships, [], 0.5);
%     [p, q, s] = find (triu (S, 1));
%
%   Errors, before the result exists
%     MATLAB:attributeJaccard:wrongrhs     not one to three inputs
%     MATLAB:attributeJaccard:wronglhs     more than one output
%     MATLAB:attributeJaccard:badtable     nodeAtts is neither logical nor double,
%                                          or has more than two dimensions
%     MATLAB:attributeJaccard:complex      nodeAtts is complex
%     MATLAB:attributeJaccard:notlist      nodesToKeep is not a real full double
%                                          column vector or [] (zeros (0, 0, 3)
%                                          is not [])
%     MATLAB:attributeJaccard:notnumber    threshold is not one real number
%     MATLAB:attributeJaccard:toolarge     2^31 or more nodes or attributes
%     MATLAB:attributeJaccard:badnode      a node number is not finite or,
%                                          truncated, lies outside 1 to numNodes
%     MATLAB:attributeJaccard:notascending node numbers, truncated, do not
%                                          ascend strictly
%     MATLAB:attributeJaccard:toomany      more than 2^31 - 1 entries would be
%                                          stored (found before the result is
%                                          made)
%     MATLAB:attributeJaccard:noworkspace  the workspace cannot be addressed
%     MATLAB:attributeJaccard:nomem        the host could not give the memory the
%                                          call needs (a host that ends the call
%                                          itself raises its own error instead)

%!shared A
%! A = logical ([1 0 0 1; 1 1 0 1; 0 1 0 1]);

%!test
%! out = evalc ('S = attributeJaccard (A, [1; 2; 4], 0.4);');
%! assert (full (S), [1 0 0 2/3; 0 1 0 2/3; 0 0 0 0; 2/3 2/3 0 1]);
%! assert (nzmax (S), 7);
%! assert (out, ["start attributeJaccard: numAttrs=3, numNodes=4 (full logical), numNodesToKeep=3, threshold=0.400000\n", ...
%!               "end attributeJaccard => nnz=7\n"]);

%!test
%! ## left out, nodesToKeep lists every node and the threshold is 0
%! evalc ('S = attributeJaccard (A); T = tessaly5 (A, (1:4)'', 0, 1);');
%! assert (isequal (S, T));
%! assert (nzmax (S), nnz (T));

%!test
%! ## random tables, full and sparse, logical and double: what tessaly5 returns on the
%! ## logical table, entry for entry in stored order (explicit zeros too), with exact room
%! rand ("seed", 7);
%! for round = 1:40
%!   thresholds = [-1, 0, 1/3, 0.5, 2/3, 1, NaN, rand];
%!   X = rand (1 + fix (rand * 90), fix (rand * 25));
%!   X(X > rand) = 0;
%!   X(rand (size (X)) < 0.05) = NaN;
%!   keep = find (rand (columns (X), 1) < 0.7);
%!   t = thresholds(1 + mod (round, 8));
%!   evalc ('T = tessaly5 (logical (full (X ~= 0)), keep, t, 1);');
%!   [ti, tj, tv] = find (T);
%!   for table = {X ~= 0, X, sparse(X ~= 0), sparse(X)}
%!     evalc ('S = attributeJaccard (table{1}, keep, t);');
%!     [i, j, v] = find (S);
%!     assert ([i, j, v], [ti, tj, tv]);
%!     assert (nzmax (S), max (nnz (S), 1));
%!   end
%! end

%!error <one to three inputs> attributeJaccard ()
%!error <logical or double matrix> attributeJaccard (int8 (A))
%!error <column vector of node numbers> attributeJaccard (A, [1 2 4])
%!error <ascend strictly> attributeJaccard (A, [2; 1])
