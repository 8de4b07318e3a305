% save_network (net, S, count, heading, path)
%   Saves a PNG drawing of the karate club NET: its friendships as thin grey lines, the COUNT
%   strongest similarities of the member-by-member matrix S as green lines as wide as they are
%   strong, and each member as a disc with its number, coloured by faction; titled HEADING.
function save_network (net, S, count, heading, path)
  xy = club_layout (net.G);
  f = figure ('visible', 'off', 'position', [0 0 900 680]);
  ax = axes ('position', [0.02 0.02 0.96 0.9]);
  hold on;
  [i, j] = find (triu (net.G, 1));
  for e = 1:numel (i)
    friendship = plot (xy([i(e), j(e)], 1), xy([i(e), j(e)], 2), '-', 'color', [0.6 0.6 0.6], 'linewidth', 0.8);
  end
  [i, j, v] = find (triu (S, 1));
  [~, strongest] = sortrows ([-v, i, j]);
  for e = strongest(1:min (count, end))'
    similar = plot (xy([i(e), j(e)], 1), xy([i(e), j(e)], 2), '-', 'color', [0.1 0.6 0.2], ...
                    'linewidth', 1 + 3 * v(e));
  end
  colours = [0.95 0.6 0.2; 0.3 0.55 0.9];
  for g = 1:2
    inFaction = net.faction == g;
    members(g) = plot (xy(inFaction, 1), xy(inFaction, 2), 'o', 'markersize', 16, ...
                       'markerfacecolor', colours(g, :), 'markeredgecolor', 'k');
  end
  text (xy(:, 1), xy(:, 2), cellstr (num2str ((1:net.n)')), 'fontsize', 6, 'horizontalalignment', 'center');
  margin = 0.12;
  set (ax, 'xlim', [min(xy(:, 1)) - margin, max(xy(:, 1)) + margin], 'xtick', [], 'xcolor', 'w', ...
       'ylim', [min(xy(:, 2)) - margin, max(xy(:, 2)) + margin], 'ytick', [], 'ycolor', 'w', ...
       'dataaspectratio', [1 1 1], 'fontsize', 5);
  title (heading);
  legend ([members, friendship, similar], {"faction 1, the instructor's", "faction 2, the administrator's", ...
          'friendship', sprintf('the %d strongest similarities, wider when stronger', count)}, ...
          'location', 'northeast');
  legend ('boxoff');
  print (f, '-dpngcairo', '-S900,680', path);
  close (f);
end

% Places the nodes of the graph G in the plane, the same way on every run: from the two leading
% eigenvectors of its normalised Laplacian (their signs fixed), pulled along its edges and pushed
% apart from each other in 300 shrinking steps.
function xy = club_layout (G)
  n = rows (G);
  scale = diag (1 ./ sqrt (full (sum (G, 2))));
  [vectors, values] = eig (eye (n) - scale * full (G) * scale);
  [~, rank] = sort (diag (values));
  xy = vectors(:, rank(2:3));
  flip = sign (sum (xy .^ 3));
  flip(flip == 0) = 1;
  xy = xy .* flip ./ max (abs (xy));
  adjacent = full (G) != 0;
  spacing = 0.46;
  for step = 1:300
    apart = permute (xy, [1 3 2]) - permute (xy, [3 1 2]);
    distance = sqrt (sum (apart .^ 2, 3)) + eye (n);
    pull = spacing ^ 2 ./ distance .^ 2 - adjacent .* distance / spacing;
    pull(1:n + 1:end) = 0;
    move = squeeze (sum (apart .* pull, 2));
    length = sqrt (sum (move .^ 2, 2)) + eps;
    xy += move ./ length .* min (length, 0.05 * (1 - step / 300) + 0.002);
  end
end
