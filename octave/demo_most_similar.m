% demo_most_similar (net, outdir)
%   Each member of the karate club with the three members whose circles of friends are most
%   alike its own (neighborSimilarity, cosine, TopK 3, no member with itself): how many of them
%   joined the member's faction, a few members' lists, and a drawing of the club with these links.
function demo_most_similar (net, outdir)
  printf ("\n== neighborSimilarity: each member's three most similar members ==\n");
  S = neighborSimilarity (net.G, 'cosine', 'TopK', 3, 'Self', false);
  % Column j holds the three members most similar to member j, among equal values the smaller numbers.
  [i, j, v] = find (S);
  same = sum (net.faction(i) == net.faction(j));
  printf ("=> %d links from a member to one of its most similar; %d of them (%.0f%%) within a faction\n", ...
          numel (v), same, 100 * same / numel (v));
  printf ("member: its most similar members (cosine of the circles of friends)\n");
  for member = [1, 3, 9, 34]
    [others, ~, values] = find (S(:, member));
    [values, order] = sort (values, 'descend');
    printf ("  %2d:%s\n", member, sprintf ("  %2d (%.3f)", [others(order)'; values']));
  end
  % A pair where each is among the other's most similar is one line.
  [pairs, first] = unique (sort ([i, j], 2), 'rows');
  links = [pairs, v(first)];
  picture = fullfile (outdir, 'karate_most_similar.png');
  save_network (net, links, "Karate club: each member linked to its three most similar (cosine of friends)", ...
                "a member's three most similar, wider when more similar", picture);
  printf ("drawing of the club with each member's three most similar: %s\n", picture);
end
