% demo_neighbours (net)
%   The members of the karate club with the most similar circles of friends, straight from the
%   friendship matrix with neighborJaccard and neighborOverlap (no G * G formed), the same as
%   tessaly and Vostrel give from G * G; then a larger generated network, where not forming
%   G * G is what makes the call fast.
function demo_neighbours (net)
  printf ("\n== neighborJaccard and neighborOverlap: similar members straight from the friendships ==\n");
  G = net.G;
  shared = G * G;
  degree = full (sum (G, 2));
  J = neighborJaccard (G, 0.3);
  show_pairs ("Jaccard similarity of circles of friends above 0.3", J, shared, net.faction);
  printf ("the same as tessaly (G * G, d, 0.3), entry for entry: %s\n", ...
          yes_no (isequal (J, tessaly_quietly (shared, degree, 0.3))));
  O = neighborOverlap (G, 0.5);
  show_pairs ("share of the smaller circle above 0.5", O, shared, net.faction);
  evalc ("[i, j, v] = find (Vostrel (shared, degree'));");
  kept = v > 0.5;
  printf ("the same as the entries of Vostrel (G * G, d') above 0.5: %s\n", ...
          yes_no (isequal (O, sparse (i(kept), j(kept), v(kept), net.n, net.n))));
  time_generated_network ();
end

% A seeded random network of 200,000 members with 12 friends each on average: neighborJaccard
% against G * G followed by tessaly, timed side by side.
function time_generated_network ()
  n = 200000;
  rand ("state", 11);
  G = sprand (n, n, 6 / n) != 0;
  G = double (G | G');
  printf ("\na generated network: %d members, %d friendships, Jaccard similarity above 0.1\n", n, nnz (G) / 2);
  tic;
  S = neighborJaccard (G, 0.1);
  direct = toc;
  tic;
  C = G * G;
  T = tessaly_quietly (C, full (sum (G, 2)), 0.1);
  through = toc;
  printf ("neighborJaccard (G, 0.1): %.2f s; C = G * G and tessaly (C, d, 0.1): %.2f s, %.0f times as long\n", ...
          direct, through, through / direct);
  printf ("G * G holds %d entries for the %d similarities kept; the results are equal: %s\n", ...
          nnz (C), nnz (S), yes_no (isequal (S, T)));
end

% Prints the five strongest pairs of a symmetric similarity matrix, ties going to the pairs with
% more shared friends.
function show_pairs (title, similarity, shared, faction)
  [i, j, v] = find (triu (similarity, 1));
  common = full (shared(sub2ind (size (shared), i, j)));
  [~, strongest] = sortrows ([-v, -common]);
  printf ("%s: %d pairs; the strongest (member, member, value, shared friends, factions):\n", title, numel (v));
  for k = strongest(1:min (5, end))'
    printf ("  %2d  %2d  %.3f  %d  %d/%d\n", i(k), j(k), v(k), common(k), faction(i(k)), faction(j(k)));
  end
end

% tessaly without its printed lines.
function S = tessaly_quietly (C, d, threshold)
  evalc ("S = tessaly (C, d, threshold);");
end

function text = yes_no (condition)
  if (condition)
    text = "yes";
  else
    text = "no";
  end
end
