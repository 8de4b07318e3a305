% S = attributeSimilarity (nodeAtts, measure, Name, Value, ...)
%
%   A similarity of the attributes of every pair of listed nodes, kept above
%   a threshold or the k largest of each column, in a result with room for
%   exactly what it stores; for every row and column or for some of them;
%   of which attributes a node holds, or of their values.
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
%   Weighted tables ("Weighted", true): with x(a,p) >= 0 the value of
%   attribute a at node p (a count, a score, a term weight; 0 where p holds
%   no a), M the sum over a of min (x(a,p), x(a,q)) and s(p) the sum of p's
%   values:
%     "jaccard"  M / (s(p) + s(q) - M): the sum of the smaller values over
%                the sum of the larger ones
%     "dice"     2 M / (s(p) + s(q))
%     "cosine"   the sum of x(a,p) x(a,q) over sqrt (|p|^2 |q|^2), the two
%                columns' norms, as scikit-learn's cosine_similarity of the
%                table's columns
%     "overlap"  M / min (s(p), s(q))
%   "simpleMatching" has no weighted form. Each sum is added over the
%   attributes in ascending order. A listed node that holds something has
%   S(p,p) = 1; a node whose values are all 0 shares nothing, not even with
%   itself: its row and column are empty, and a negative threshold keeps
%   the pairs that share an attribute, not every pair. The values are found
%   through the attributes two nodes share, each attribute's nodes listed
%   once: a sparse table costs the squares of its attributes' counts of
%   nodes, never a pass over every pair.
%
%   Options, as name-value pairs (names of any case; a name given twice
%   takes its later value)
%     "Nodes", list   the listed nodes: a strictly ascending vector of node
%                     numbers from 1 to numNodes, each truncated toward zero
%                     (2.9 means node 2); default every node. [] lists no
%                     node (unlike attributeJaccard's nodesToKeep, where []
%                     lists every node): S is then empty
%     "Threshold", t  keep only values strictly above t (default 0, as
%                     attributeJaccard); a negative t keeps every pair, 1 or
%                     more or NaN keeps nothing. A logical t is read as 0 or
%                     1, a sparse one as its value; text is refused
%     "TopK", k       keep in each column only its k largest values, among
%                     equal values those of the smaller rows; rows ascend in
%                     each column as always
%     "Self", false   leave out the pairs of a node with itself (default
%                     true: S(p,p) is 1 and takes a place in each TopK column)
%     "Columns", list  only these columns, a strictly ascending list of
%                     node numbers: S is then numNodes-by-numel (list) and
%                     equals the same columns of the whole result, so the
%                     slices of a split, concatenated in order, give the whole
%                     result exactly
%     "Threads", n    at most n threads for this call, a whole number from 1
%                     up (above 64 counts as 64); default: as many as
%                     maxNumCompThreads answers (see help attributeJaccard)
%     "Rows", list    only these rows, a strictly ascending list of node
%                     numbers: S is then numel (list)-by-numNodes (or by
%                     numel of Columns) and equals those rows of the whole
%                     result; with TopK, the k largest of each column among
%                     them. Each listed row compares its node with every
%                     listed node once: a hundredth of the rows takes about
%                     a hundredth of the work
%     "Weighted", true  the values of a double table, full or sparse,
%                     finite and not below 0 (see Weighted tables)
%
%   Inputs
%     nodeAtts  logical or double matrix, full or sparse, one row per
%               attribute and one column per node (numAttrs-by-numNodes); a
%               node holds an attribute where its entry is nonzero (NaN is
%               nonzero, -0 is not). A sparse table is never made full.
%     measure   the name of a measure, as text ('cosine')
%
%   Output
%     S         numNodes-by-numNodes (or numel of Rows by numel of Columns)
%               sparse double matrix with room for nnz (S) entries
%
%   How, the memory it takes and the threads it runs on: as attributeJaccard
%   (see help attributeJaccard), whose bit sets and counting it shares;
%   "Threads", n sets the most threads for one call. With TopK each thread
%   keeps its own k values of every column (16 bytes each), the least of
%   them with its row (12 bytes a column) and that least value again for
%   each node (8 bytes), merged at the end; a pair below the least values of
%   both its columns is turned away as it is counted.
%
%   Printed lines
%     "attributeSimilarity: numAttrs=<n>, numNodes=<m> (<storage>), measure =
%     <name>, numNodesToKeep=<listed>, threshold=<t>" ("weighted <name>" with
%     Weighted) and each option that asks other than its default (one given
%     at its default value, such as "Self", true, is not shown; "Threads"
%     never is), at the start: ", top <k> of each column", ", no pairs of a
%     node with itself", ", <m> of <n> columns", ", <m> of <n> rows";
%     "attributeSimilarity: <p>% done" each tenth of its passes over the
%     listed nodes (or the listed rows) when it has about a second of work or
%     more (counted as attributeJaccard counts it); "attributeSimilarity:
%     nnz(S) = <count>".
%
%   Example: the three members most alike in their memberships of each member
%   of a club, by the cosine of their groups
%     memberships = sprand (12, 40, 0.3) > 0;
%     S = attributeSimilarity (memberships, 'cosine', 'TopK', 3, 'Self', false);
%
%   Example: the five nearest of each of 200 documents by the cosine of their
%   term counts, one row per term
%     counts = round (10 * sprand (1000, 200, 0.01));
%     S = attributeSimilarity (counts, 'cosine', 'Weighted', true, 'TopK', 5);
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
%                                             (text, a complex number or
%                                             several numbers)
%     MATLAB:attributeSimilarity:badcount     TopK or Threads is not a whole
%                                             number from 1 to 2147483647
%     MATLAB:attributeSimilarity:notflag      Self or Weighted is not true or
%                                             false
%     MATLAB:attributeSimilarity:notlist      Nodes, Columns or Rows is not a
%                                             real full double vector (or [])
%   then what Weighted asks:
%     MATLAB:attributeSimilarity:notweighted  Weighted with simpleMatching
%     MATLAB:attributeSimilarity:badweight    Weighted, and a value of nodeAtts
%                                             that is negative, infinite or NaN
%   then the sizes and the lists, Nodes, Columns, Rows:
%     MATLAB:attributeSimilarity:toolarge     2^31 or more nodes or attributes
%     MATLAB:attributeSimilarity:badnode      a node number of Nodes is not
%                                             finite or, truncated, lies
%                                             outside 1 to numNodes
%     MATLAB:attributeSimilarity:notascending node numbers of Nodes, truncated,
%                                             do not ascend strictly
%     MATLAB:attributeSimilarity:badcolumn    a column number of Columns that
%                                             is not finite or, truncated, lies
%                                             outside 1 to numNodes
%     MATLAB:attributeSimilarity:notascending column numbers, truncated, do
%                                             not ascend strictly
%     MATLAB:attributeSimilarity:badrow       a row number of Rows that is not
%                                             finite or, truncated, lies
%                                             outside 1 to numNodes
%     MATLAB:attributeSimilarity:notascending row numbers, truncated, do not
%                                             ascend strictly
%     MATLAB:attributeSimilarity:toomany      more than 2^31 - 1 entries would
%                                             be stored: at once for a negative
%                                             threshold over every row and
%                                             column without Weighted,
%                                             otherwise after counting
%     MATLAB:attributeSimilarity:noworkspace  the bit sets cannot be addressed
%                                             (not with Weighted)
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

%!test
%! ## weighted measures: sums of the smaller values, of products, and the two sums
%! X = [2 0 0 1; 1 1 0 1; 0 3 0 1];
%! evalc ('S = attributeSimilarity (X, "jaccard", "Weighted", true);');
%! assert (full (S), [1 1/6 0 1/2; 1/6 1 0 2/5; 0 0 0 0; 1/2 2/5 0 1]);
%! evalc ('C = attributeSimilarity (sparse (X), "cosine", "Weighted", true, "Rows", [2 4]);');
%! P = X' * X;
%! q = diag (P);
%! expected = P ./ sqrt (q * q');
%! expected(3, :) = 0;
%! expected(:, 3) = 0;
%! assert (full (C), expected([2 4], :), 4 * eps);

%!error <measure> attributeSimilarity (A, "hamming")
%!error <no option> attributeSimilarity (A, "dice", "Treshold", 0.5)
