% G = power_law_graph (n, mean, exponent, seed)
%   A reproducible symmetric 0/1 graph of n nodes with about `mean` neighbours each and degrees of
%   a power law with the given exponent (Chung-Lu: edges drawn with probability proportional to
%   weights i^(-1/(exponent - 1))), its loops and repeated edges dropped.
function G = power_law_graph (n, mean, exponent, seed)
  rand ("state", seed);
  weights = cumsum ((1:n)' .^ (-1 / (exponent - 1)));
  pairs = round (n * mean / 2);
  pick = @() min (lookup (weights, rand (pairs, 1) * weights(end)) + 1, n);
  from = pick ();
  to = pick ();
  kept = from != to;
  G = sparse (from(kept), to(kept), 1, n, n);
  G = spones (G + G');
end
