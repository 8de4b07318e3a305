% S = attributeJaccard (nodeAtts, nodesToKeep, threshold)
% S = attributeJaccard (nodeAtts)         every node, threshold 0
% S = attributeJaccard (nodeAtts, [], t)  every node
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
%   but nzmax (S) is nnz (S) (at least 1): the call counts the result before
%   it creates it, and a sparse table is read from its columns as it is,
%   never made full.
%
%   Inputs
%     nodeAtts     logical or double matrix, full or sparse, one row per
%                  attribute and one column per node (numAttrs-by-numNodes); a
%                  node holds an attribute where its entry is nonzero (NaN is
%                  nonzero, -0 is not)
%     nodesToKeep  optional: strictly ascending column vector of node numbers
%                  from 1 to numNodes, each truncated toward zero (2.9 means
%                  node 2); left out or [] lists every node, zeros (0, 1) none
%     threshold    optional, default 0: one real number
%
%   Output
%     S     numNodes-by-numNodes sparse double matrix with room for exactly
%           the entries it stores
%
%   How, and the memory it takes
%     The listed nodes' attributes are packed into bit sets once; the
%     attributes two nodes share are counted with population counts, four
%     rows per instruction where the processor has AVX2 (asked at each call,
%     so plug-ins built for any x86-64 use it too); the union comes from each
%     node's count. Each unordered pair is counted once to size the result;
%     the pairs that pass are kept to fill it while at most one pair in
%     sixteen passes, and counted again otherwise; the upper half of S is
%     mirrored from the lower one. Beside S, the call takes workspace from
%     the host: the bit sets (about K * numAttrs / 8 bytes for K listed
%     nodes), a few words per listed node and the kept pairs (8 bytes each,
%     fewer than S's entries of 16).
%
%   Threads
%     A call with the work for it (about 2 x 10^7 of the units counted under
%     Printed lines; a call with less stays on one thread) packs its nodes
%     and counts its pairs on several threads: each round of about a
%     sixty-fourth of the work is sliced among them by the work of each
%     listed node's pairs. How many: what maxNumCompThreads answers (in
%     MATLAB its computational threads, 1 on the workers of a parallel pool,
%     which stay at one; in Octave the processors it may use, or the number
%     maxNumCompThreads (n) set, which counts here whatever Octave's warning
%     says), else the environment variable OMP_NUM_THREADS, else the
%     processors this process may run on; at most 64. S, the printed lines
%     and the errors are the same on any number of threads, bit for bit.
%     Each thread takes 8 bytes a listed node and the rows of its part of a
%     round (8 bytes each) beside the bit sets, which all threads share.
%
%   Printed lines
%     Nothing before the checks. Then one line with the sizes, the table's
%     storage (full or sparse, logical or double), the number of listed
%     nodes and the threshold, "start attributeJaccard: numAttrs=3,
%     numNodes=4 (full logical), numNodesToKeep=3, threshold=0.400000"; on a
%     call of about a second or more, "attributeJaccard 10% done" and so on
%     at each tenth of its two passes over the listed nodes, shown at once;
%     last the number of stored entries, "end attributeJaccard => nnz=7".
%     The work is every unordered pair of listed nodes, each node with itself
%     included (K (K + 1) / 2 pairs), times one more than the 64-bit words of
%     a node's bit set; the progress lines show from 2^30 of it, about a
%     second here.
%
%   Example: members of a club most alike in their memberships, from a sparse
%   logical table of 12 groups and 40 members, one column per member and one
%   row per group, kept sparse
%     memberships = sprand (12, 40, 0.3) > 0;
%     S = attributeJaccard (memberships, [], 0.5);
%     [p, q, s] = find (triu (S, 1));
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:attributeJaccard:wrongrhs     no input, or more than three
%     MATLAB:attributeJaccard:wronglhs     more than one output asked for
%                                          (none is fine: S becomes ans)
%     MATLAB:attributeJaccard:badtable     nodeAtts is neither logical nor
%                                          double (int32, single, char, a
%                                          cell...), or has more than two
%                                          dimensions
%     MATLAB:attributeJaccard:complex      nodeAtts is complex
%     MATLAB:attributeJaccard:notlist      nodesToKeep is neither [] nor a
%                                          real full double column vector: a
%                                          row vector (refused, not read as
%                                          its first element), a matrix,
%                                          int32, logical, sparse, complex;
%                                          zeros (0, 0, 3) is not []
%     MATLAB:attributeJaccard:notnumber    threshold is not one real number:
%                                          empty, several, complex, sparse, a
%                                          cell
%     MATLAB:attributeJaccard:toolarge     2^31 or more nodes or attributes
%     MATLAB:attributeJaccard:badnode      a node number is NaN, infinite or,
%                                          truncated, outside 1 to numNodes
%     MATLAB:attributeJaccard:notascending node numbers, truncated, do not
%                                          ascend strictly
%     MATLAB:attributeJaccard:toomany      a negative threshold over more than
%                                          46340 listed nodes: more than
%                                          2147483647 entries, found before
%                                          any work
%     MATLAB:attributeJaccard:noworkspace  the workspace's size does not fit
%                                          the machine's addresses (32-bit
%                                          machines only)
%     MATLAB:attributeJaccard:nomem        at any point of the work: the host
%                                          answered a request for memory
%                                          (workspace or S) with null
%                                          (Octave's mxRealloc can); the host
%                                          frees the workspace. A host that
%                                          ends the call itself when it has
%                                          no memory raises its own error
%                                          instead (MATLAB:nomem in MATLAB).
%     MATLAB:attributeJaccard:toomany      after the counting pass: more than
%                                          2147483647 entries would be
%                                          stored; its workspace is freed
%
%   Odd inputs, and what they get
%     nodeAtts values other than 0 and 1, NaN, -0: any nonzero value is held
%       (NaN too, -0 not)
%     threshold one element of another numeric class, logical or char: read
%       as a number ('a' is 97)
%     threshold NaN, or 1 or more: nothing stored; a negative one stores every
%       pair

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
