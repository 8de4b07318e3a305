% ok = memory_cap_test (which)
%   Makes one call that needs more memory than the cap its caller set (ulimit -v) lets Octave
%   have: WHICH is 'neighborJaccard' or 'neighborOverlap' on a star of 10,000 leaves (a result of
%   10^8 entries), 'attributeJaccard' on 40,000 nodes in 20 groups of 2000 alike ones (8 * 10^7
%   entries), or 'star' for neighborJaccard on a star of 46,341 leaves (more pairs than a result
%   holds). True when the call ended in an error, which it prints, and Octave went on.
function ok = memory_cap_test (which)
  switch (which)
    case {'neighborJaccard', 'neighborOverlap'}
      G = star (10000);
      call = @() feval (which, G, 0);
    case 'attributeJaccard'
      rand ('seed', 1);
      alike = rand (64, 20) < 0.5;
      alike(1, :) = true;
      X = alike(:, repmat (1:20, 1, 2000));
      call = @() attributeJaccard (X, [], 0.99);
    case 'star'
      G = star (46341);
      call = @() neighborJaccard (G, 0);
  end
  ok = false;
  try
    evalc ('S = call ();');
    printf ("%s returned a result of %d entries\n", which, nnz (S));
  catch err
    printf ("%s ended in an error: %s: %s\n", which, err.identifier, err.message);
    ok = true;
  end
  ok = ok && sum (1:10) == 55;
  printf ("Octave goes on after %s\n", which);
end

% The graph of a star: node 1 joined to each of `leaves` other nodes.
function G = star (leaves)
  n = leaves + 1;
  G = sparse ([ones(1, leaves), 2:n], [2:n, ones(1, leaves)], 1, n, n);
end
