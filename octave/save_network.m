% save_network (net, links, heading, label, path)
%   Saves a PNG drawing of the karate club NET: its friendships as thin grey lines, the LINKS
%   between members (rows of member, member, strength in [0, 1]) as green lines as wide as they
%   are strong, named LABEL in the legend, and each member as a disc with its number, coloured by
%   faction; titled HEADING.
function save_network (net, links, heading, label, path)
  xy = club_layout (net.G, net.faction);
  f = figure ('visible', 'off', 'position', [0 0 900 680]);
  ax = axes ('position', [0.02 0.02 0.96 0.9]);
  hold on;
  [i, j] = find (triu (net.G, 1));
  for e = 1:numel (i)
    friendship = plot (xy([i(e), j(e)], 1), xy([i(e), j(e)], 2), '-', 'color', [0.6 0.6 0.6], 'linewidth', 0.8);
  end
  for e = 1:rows (links)
    similar = plot (xy(links(e, 1:2), 1), xy(links(e, 1:2), 2), '-', 'color', [0.1 0.6 0.2], ...
                    'linewidth', 1 + 3 * links(e, 3));
  end
  colours = [0.95 0.6 0.2; 0.3 0.55 0.9];
  for g = 1:2
    inFaction = net.faction == g;
    members(g) = plot (xy(inFaction, 1), xy(inFaction, 2), 'o', 'markersize', 16, ...
                       'markerfacecolor', colours(g, :), 'markeredgecolor', 'k');
  end
  text (xy(:, 1), xy(:, 2), cellstr (num2str ((1:net.n)')), 'fontsize', 6, 'horizontalalignment', 'center');
  [xlimits, ylimits] = network_limits (xy, ax);
  set (ax, 'xlim', xlimits, 'xtick', [], 'xcolor', 'w', 'ylim', ylimits, 'ytick', [], 'ycolor', 'w', ...
       'dataaspectratio', [1 1 1], 'fontsize', 5);
  title (heading);
  legend ([members, friendship, similar], {"faction 1, the instructor's", "faction 2, the administrator's", ...
          'friendship', label}, ...
          'location', 'northeast');
  legend ('boxoff');
  print (f, '-dpngcairo', '-S900,680', path);
  close (f);
end

% The data limits of the drawing of the members at XY in the axes AX: a margin round them, and
% above them room for the legend, 80 pixels high when the members span the axes' width.
function [xlimits, ylimits] = network_limits (xy, ax)
  margin = 0.12;
  xlimits = [min(xy(:, 1)) - margin, max(xy(:, 1)) + margin];
  pixels = getpixelposition (ax);
  legendRoom = 80 / pixels(3) * diff (xlimits);
  ylimits = [min(xy(:, 2)) - margin, max(xy(:, 2)) + margin + legendRoom];
end
