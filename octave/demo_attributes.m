% demo_attributes (net)
%   The members of the karate club most alike in their attributes, with attributeJaccard read
%   straight from a sparse attribute matrix: one row per member of the club (held by that
%   member's friends) and one row per faction. The result has room for exactly what it stores.
function demo_attributes (net)
  printf ("\n== attributeJaccard: members alike in their friends and faction, from a sparse table ==\n");
  atts = [net.G; sparse(net.faction' == 1); sparse(net.faction' == 2)];
  printf ("attributes: %d-by-%d sparse matrix with %d stored entries; keeping similarities above 0.4:\n", ...
          rows (atts), columns (atts), nnz (atts));
  S = attributeJaccard (atts, [], 0.4);
  printf ("=> %d entries stored in room for %d, no room to guess\n", nnz (S), nzmax (S));
  held = full (sum (atts != 0, 1))';
  [i, j, v] = find (triu (S, 1));
  [v, k] = sort (v, "descend");
  i = i(k);
  j = j(k);
  printf ("most alike (member, member, similarity, attributes shared of those held):\n");
  for k = 1:min (8, numel (v))
    shared = round (v(k) * (held(i(k)) + held(j(k))) / (1 + v(k)));
    printf ("  %2d  %2d  %.3f  %d of %d\n", i(k), j(k), v(k), shared, held(i(k)) + held(j(k)) - shared);
  end
  evalc ("T = tessaly5 (logical (full (atts)), (1:net.n)', 0.4, 1);");
  printf ("the same as tessaly5 on the full logical table with room for all %d pairs: %s\n", nzmax (T), ...
          yes_or_no (isequal (S, T)));
end

function text = yes_or_no (flag)
  text = "no";
  if (flag)
    text = "yes";
  end
end
