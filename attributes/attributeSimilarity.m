% S = attributeSimilarity (nodeAtts, measure, Name, Value, ...)
%
%   A similarity of the attributes of every pair of listed nodes, kept above
%   a threshold or the k largest of each column, in a result with room for
%   exactly what it stores; for every column or for some of them.
%
%   For listed nodes p and q, with a the attributes both hold, b and c those
%   only p and only q hold, and n the attributes of the table:
%     "jaccard"         a / (a + b + c), as attributeJaccard
%     "dice"            2a / (2a + b + c)
%     "cosine"          a / sqrt ((a + b) (a + c))
%     "overlap"         a / min (a + b, a + c)
%     "simpleMatching"  (n - b - c) / n, the attributes on which the two agree
%   0 where a measure's denominator is 0; S(p,p) is 1. The counts are whole
%   numbers computed in doubles, exactly, and every value with the same
%   operations on every processor (cosine's product (a + b)(a + c) is rounded
%   to a double before its square root is taken). The measure's name may be of
%   any case. Rows and columns of unlisted nodes are empty; without "TopK",
%   S is symmetric.
%
%   Options, as name-value pairs (names of any case; a name given twice
%   takes its later value)
%     "Nodes", list   the listed nodes: a strictly ascending vector of node
%                     numbers from 1 to numNodes, each truncated toward zero
%                     (2.9 means node 2); default every node
%     "Threshold", t  keep only values strictly above t (default 0, as
%                     attributeJaccard); a negative t keeps every pair, 1 or
%                     more or NaN keeps nothing
%     "TopK", k       keep in each column only its k largest values, among
%                     equal values those of the smaller rows; rows ascend in
%                     each column as always
%     "Self", false   leave out the pairs of a node with itself (default true)
%     "Columns", list  only these columns, a strictly ascending list of
%                     node numbers: S is then numNodes-by-numel (list) and
%                     equals the same columns of the whole result, so the
%                     slices of a split, concatenated in order, give the whole
%                     result exactly
%     "Threads", n    at most n threads for this call, a whole number from 1
%                     up (above 64 counts as 64); default: as many as
%                     maxNumCompThreads answers (see help attributeJaccard)
%
%   Inputs
%     nodeAtts  logical or double matrix, full or sparse, one row per
%               attribute and one column per node (numAttrs-by-numNodes); a
%               node holds an attribute where its entry is nonzero (NaN is
%               nonzero, -0 is not). A sparse table is never made full.
%     measure   the name of a measure, as text ('cosine')
%
%   Output
%     S         numNodes-by-numNodes (or numNodes-by-numel (list)) sparse
%               double matrix with room for nnz (S) entries
%
%   How, the memory it takes and the threads it runs on: as attributeJaccard
%   (see help attributeJaccard), whose bit sets and counting it shares;
%   "Threads", n sets the most threads for one call. With TopK each thread
%   keeps its own k values of every column (16 bytes each), merged at the
%   end.
%
%   Printed lines
%     "attributeSimilarity: numAttrs=<n>, numNodes=<m> (<storage>), measure =
%     <name>, numNodesToKeep=<listed>, threshold=<t>" and the options given, at
%     the start; "attributeSimilarity: <p>% done" each tenth of its passes over
%     the listed nodes when it has about a second of work or more (counted as
%     attributeJaccard counts it); "attributeSimilarity: nnz(S) = <count>".
%
%   Example: the three members most alike in their memberships of each member
%   of a club, by the cosine of their groups
%     memberships = sprand (12, 40, 0.3) > 0;
%     S = attributeSimilarity (memberships, 'cosine', 'TopK', 3, 'Self', false);
%
%   Working across many workers: on one machine, threads are the way (one
%   call already uses every core it may); slices are for many machines. See
%   help neighborSimilarity; the recipe is the same with 'Columns'.
%
%   Errors, in the order the checks run; the first that fails ends the call
%   and the caller gets no result
%     MATLAB:attributeSimilarity:wrongrhs     fewer than two inputs
%     MATLAB:attributeSimilarity:wronglhs     more than one output
%     MATLAB:attributeSimilarity:badtable     nodeAtts is neither logical nor
%                                             double, or has more than two
%                                             dimensions
%     MATLAB:attributeSimilarity:complex      nodeAtts is complex
%     MATLAB:attributeSimilarity:badmeasure   measure is not the name of one
%   then each option in the call's order, its name first:
%     MATLAB:attributeSimilarity:badname      an option name that is not text
%     MATLAB:attributeSimilarity:badoption    a name of no option
%     MATLAB:attributeSimilarity:novalue      a name without a value after it
%     MATLAB:attributeSimilarity:notnumber    Threshold is not one real number
%     MATLAB:attributeSimilarity:badcount     TopK or Threads is not a whole
%                                             number from 1 to 2147483647
%     MATLAB:attributeSimilarity:notflag      Self is not true or false
%     MATLAB:attributeSimilarity:notlist      Nodes or Columns is not a real
%                                             full double vector (or [])
%   then the sizes and the lists:
%     MATLAB:attributeSimilarity:toolarge     2^31 or more nodes or attributes
%     MATLAB:attributeSimilarity:badnode      a node number of Nodes is not
%                                             finite or, truncated, lies
%                                             outside 1 to numNodes
%     MATLAB:attributeSimilarity:notascending node numbers of Nodes or Columns,
%                                             truncated, do not ascend strictly
%     MATLAB:attributeSimilarity:badcolumn    a column number of Columns that
%                                             is not finite or, truncated, lies
%                                             outside 1 to numNodes
%     MATLAB:attributeSimilarity:toomany      more than 2^31 - 1 entries would
%                                             be stored: at once for a negative
%                                             threshold over every column,
%                                             otherwise after counting
%     MATLAB:attributeSimilarity:noworkspace  the workspace cannot be addressed
%     MATLAB:attributeSimilarity:nomem        the host could not give the memory
%                                             the call needs (a host that ends
%                                             the call itself raises its own
%                                             error instead)

%!shared A
%! A = logical ([1 0 0 1; 1 1 0 1; 0 1 0 1]);

%!test
%! ## jaccard is attributeJaccard
%! evalc ('S = attributeSimilarity (A, "jaccard");');
%! evalc ('J = attributeJaccard (A);');
%! assert (isequal (S, J));

%!test
%! ## the worked example of each measure: node 4 holds all three attributes
%! a = double (A' * A);
%! h = diag (a);
%! n = rows (A);
%! e = h.';
%! values = {"dice", 2 * a ./ (h + e); "cosine", a ./ sqrt(h * e); "overlap", a ./ min(h, e); ...
%!           "simpleMatching", (n - h - e + 2 * a) / n};
%! for m = 1:rows (values)
%!   evalc ('S = attributeSimilarity (A, values{m, 1}, "Threshold", -1);');
%!   expected = values{m, 2};
%!   expected(isnan (expected)) = 0;
%!   expected(logical (eye (4))) = 1;
%!   assert (full (S), expected, 0);
%! end

%!test
%! ## the largest of each column without the diagonal: column 4's rows 1 and 2 tie at
%! ## 2/sqrt(6), and the smaller row is kept; columns as slices
%! evalc ('S = attributeSimilarity (A, "cosine", "TopK", 1, "Self", false);');
%! assert (full (S) > 0, logical ([0 0 0 1; 0 0 0 0; 0 0 0 0; 1 1 0 0]));
%! evalc ('T = attributeSimilarity (A, "cosine", "TopK", 1, "Self", false, "Columns", [2 4]);');
%! assert (isequal (T, S(:, [2 4])));

%!error <measure> attributeSimilarity (A, "hamming")
%!error <no option> attributeSimilarity (A, "dice", "Treshold", 0.5)
