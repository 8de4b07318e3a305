% save_heatmap (S, net, heading, scale, path)
%   Saves the member-by-member matrix S of the karate club NET, its rows and columns in the
%   order net.order (by faction), as a PNG heat map: white for 0 up to dark red for the largest
%   value, each member's number on both axes, blue lines where the factions meet, the title
%   HEADING and a colour bar named SCALE.
function save_heatmap (S, net, heading, scale, path)
  n = net.n;
  split = net.split + 0.5;
  f = figure ('visible', 'off', 'position', [0 0 860 800]);
  ax = axes ();
  imagesc (full (S));
  map = flipud (hot (96));
  colormap (map(1:80, :));
  % Upright numbers under the columns: side by side, 34 of them would run together.
  set (ax, 'fontsize', 5.5, 'tickdir', 'out', 'xtick', 1:n, 'xticklabel', {}, ...
       'ytick', 1:n, 'yticklabel', net.order);
  hold on;
  text (1:n, repmat (n + 1, 1, n), cellstr (num2str (net.order)), 'rotation', 90, 'fontsize', 5.5, ...
        'horizontalalignment', 'right', 'verticalalignment', 'middle');
  plot ([0.5, n + 0.5, NaN, split, split], [split, split, NaN, 0.5, n + 0.5], 'b-', 'linewidth', 2);
  text ([split / 2, (split + n) / 2], [n + 3.2, n + 3.2], ...
        {"faction 1 (the instructor's)", "faction 2 (the administrator's)"}, ...
        'fontsize', 6, 'color', 'b', 'horizontalalignment', 'center');
  ylabel ('member');
  title (heading);
  bar = colorbar ();
  ylabel (bar, scale);
  % The colour bar moves with the axes: place the axes first.
  set (ax, 'position', [0.08 0.12 0.72 0.8]);
  set (bar, 'position', [0.85 0.12 0.025 0.8], 'fontsize', 6);
  print (f, '-dpngcairo', '-S860,800', path);
  close (f);
end
