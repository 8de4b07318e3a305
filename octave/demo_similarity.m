% demo_similarity (net, outdir)
%   Compares the members of the karate club by their friends with tessaly5 (the Jaccard
%   similarity of their circles of friends), tells how many alike pairs ended up in the same
%   faction, adds the faction to each member's attributes with tessaly5a, and saves the
%   similarities as a heat map and the strongest of them in a drawing of the club.
function demo_similarity (net, outdir)
  printf ("\n== tessaly5: members alike in their friends ==\n");
  everyone = (1:net.n)';
  threshold = 0.3;
  % One column per member holding its friends: one attribute per member of the club.
  friends = full (logical (net.G));
  printf ("attributes of a member: its friends; keeping similarities above %.1f, room for a quarter of all pairs:\n", ...
          threshold);
  S = tessaly5 (friends, everyone, threshold, 0.25);
  report_pairs (net, S, "share more than 30% of their friends");
  % Members with few friends are alike by chance (two members whose only friends are the
  % two leaders have similarity 1): rank the pairs of members with at least four friends.
  friendCount = full (sum (net.G, 1))';
  [i, j, v] = find (triu (S, 1));
  wellKnown = friendCount(i) >= 4 & friendCount(j) >= 4;
  [v, k] = sort (v(wellKnown), 'descend');
  i = i(wellKnown)(k);
  j = j(wellKnown)(k);
  printf ("most alike among members with at least four friends (member, member, similarity, factions):\n");
  for k = 1:6
    printf ("  %2d  %2d  %.3f  %d %d\n", i(k), j(k), v(k), net.faction(i(k)), net.faction(j(k)));
  end
  printf ("\n== tessaly5a: friends and faction, one row per member ==\n");
  table = [full(net.G), net.faction == 1, net.faction == 2];
  printf ("attributes of a member: its friends and its faction (%d columns)\n", columns (table));
  T = tessaly5a (table, everyone, threshold);
  report_pairs (net, T, "are alike in friends and faction");
  printf ("tessaly5b on the same attributes has room for a quarter of all pairs only:\n");
  try
    U = tessaly5b (logical (table'), everyone, threshold);
  catch err
    printf ("=> refused, nothing written past its room: %s\n", err.message);
  end
  same = isequal (T, tessaly5 (logical (table'), everyone, threshold, 1));
  printf ("tessaly5a on the table equals tessaly5 on its logical transpose: %s\n", ifelse_text (same));

  picture = fullfile (outdir, 'karate_similarity.png');
  save_heatmap (S(net.order, net.order), net, 'tessaly5: Jaccard similarity of friends, above 0.3', ...
                'similarity', picture);
  printf ("heat map of the friend similarities, instructor's faction first: %s\n", picture);
  picture = fullfile (outdir, 'karate_network.png');
  [i, j, v] = find (triu (S, 1));
  [~, strongest] = sortrows ([-v, i, j]);
  links = [i, j, v](strongest(1:min (25, end)), :);
  save_network (net, links, 'Karate club: friendships and the 25 most similar pairs of members (tessaly5)', ...
                'the 25 strongest similarities, wider when stronger', picture);
  printf ("drawing of the club with its 25 most similar pairs: %s\n", picture);
end

% Prints how many pairs of different members a similarity matrix holds, and how many of them
% joined the same faction.
function report_pairs (net, S, what)
  [i, j] = find (triu (S, 1));
  same = sum (net.faction(i) == net.faction(j));
  printf ("=> %d pairs of members %s; %d of them (%.0f%%) joined the same faction\n", ...
          numel (i), what, same, 100 * same / max (numel (i), 1));
end

function text = ifelse_text (flag)
  if (flag)
    text = "yes";
  else
    text = "no";
  end
end
