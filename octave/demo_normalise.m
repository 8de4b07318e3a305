% demo_normalise (net, outdir)
%   Compares the members of the karate club by the friends they share: the Jaccard similarity
%   of their circles of friends (tessaly) and the share of the smaller circle they have in
%   common (Vostrel), then blends the Jaccard layer into the friendships with corvane and saves
%   the result as a heat map.
function demo_normalise (net, outdir)
  printf ("\n== tessaly and Vostrel: members with the same friends ==\n");
  G = net.G;
  shared = G * G;
  degree = full (sum (G, 2));
  printf ("shared friends: %d pairs (the diagonal holds each member's own number of friends)\n", ...
          (nnz (shared) - nnz (diag (shared))) / 2);

  printf ("Jaccard similarity of circles of friends, kept above 0.3:\n");
  jaccard = tessaly (shared, degree, 0.3);
  jaccard = jaccard - diag (diag (jaccard));
  show_pairs ("most similar circles", jaccard, shared, net.faction);

  printf ("share of the smaller circle that two members have in common:\n");
  overlap = Vostrel (shared, degree');
  overlap = overlap - diag (diag (overlap));
  show_pairs ("most overlapping circles", overlap, shared, net.faction);
  same = net.faction == net.faction';
  [i, j, v] = find (triu (overlap));
  inside = same(sub2ind (size (same), i, j));
  printf ("mean overlap: %.3f for pairs in the same faction, %.3f across the split\n", ...
          mean (v(inside)), mean (v(! inside)));

  printf ("blending friendships 50/50 with every Jaccard similarity above 0:\n");
  layer = tessaly (shared, degree, 0);
  layer = layer - diag (diag (layer));
  blended = corvane (G, layer, 0.5, net.n);
  printf ("=> %d stored ties, %d of them between members who are not friends\n", ...
          nnz (blended) / 2, nnz (blended .* (G == 0)) / 2);
  picture = fullfile (outdir, 'karate_normalise.png');
  save_heatmap (blended(net.order, net.order), net, ...
                'corvane and tessaly: friendships blended 50/50 with Jaccard similarity', 'tie strength', picture);
  printf ("heat map of the blended matrix, factions in order: %s\n", picture);
end

% Prints the five strongest pairs of a symmetric similarity matrix, ties going to the pairs
% with more shared friends.
function show_pairs (title, similarity, shared, faction)
  [i, j, v] = find (triu (similarity));
  common = full (shared(sub2ind (size (shared), i, j)));
  [~, strongest] = sortrows ([-v, -common]);
  printf ("%d pairs; %s (member, member, similarity, shared friends, factions):\n", numel (v), title);
  for k = strongest(1:min (5, end))'
    printf ("  %2d  %2d  %.3f  %d  %d/%d\n", i(k), j(k), v(k), common(k), ...
            faction(i(k)), faction(j(k)));
  end
end
