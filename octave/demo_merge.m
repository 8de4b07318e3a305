% demo_merge (net, outdir)
%   Merges two views of the karate club with corvane: friendship everywhere, blended with
%   shared friends inside the instructor's faction, and saves the result as a heat map.
function demo_merge (net, outdir)
  printf ("\n== corvane: merging two views of the club ==\n");
  % The instructor's faction first, so the weighted block is exactly that faction.
  order = net.order;
  inside = net.split;
  G = net.G(order, order);
  shared = G * G;
  shared = shared - diag (diag (shared));
  shared = shared / max (shared(:));
  printf ("view A: %d friendships; view B: %d pairs with shared friends (scaled to 0..1)\n", ...
          nnz (G) / 2, nnz (shared) / 2);
  printf ("blending both views 50/50 for the %d members of the instructor's faction:\n", inside);
  S = corvane (G, shared, 0.5, inside);
  block = S(1:inside, 1:inside);
  added = nnz (block) - nnz (G(1:inside, 1:inside));
  printf ("=> %d stored ties (room for %d); %d pairs inside the faction tied only by shared friends\n", ...
          nnz (S), nzmax (S), added / 2);
  [i, j, v] = find (triu (block));
  [~, strongest] = sort (v, 'descend');
  printf ("strongest ties inside the faction (member, member, strength):\n");
  for k = strongest(1:5)'
    printf ("  %2d  %2d  %.3f\n", order(i(k)), order(j(k)), v(k));
  end
  picture = fullfile (outdir, 'karate_merge.png');
  save_heatmap (S, net, 'corvane: friendships blended 50/50 with shared friends in faction 1', ...
                'tie strength', picture);
  printf ("heat map of the merged matrix: %s\n", picture);
end
