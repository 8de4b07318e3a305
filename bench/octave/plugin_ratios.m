function plugin_ratios (plugins)
% plugin_ratios (plugins)
%   Times each plug-in in PLUGINS (a folder of built .mex files) against the vectorised Octave
%   code a user would write instead, on a graph of 40,000 nodes with about 12 neighbours each
%   (C = G * G) and on 3000 listed nodes with 256 attributes of density 0.1 (for tessaly5a also
%   3000 listed of 6000 nodes, every other one), and prints a table
%   of the fastest of three calls of each, in processor time, and their ratio. Each route's result is compared with
%   the plug-in's. Run by scripts/bench.sh, with and without huge pages for malloc.

  addpath (plugins);
  tunables = getenv ('GLIBC_TUNABLES');
  if isempty (tunables)
    tunables = '(none)';
  end
  printf ('Octave %s, %s, GLIBC_TUNABLES=%s\n', OCTAVE_VERSION, version ('-blas'), tunables);
  printf ('%-10s %12s %12s %9s %s\n', 'call', 'plug-in', 'vectorised', 'speed-up', '  same result');

  n = 40000;
  [C, d] = common_neighbours (n, 1);
  [C2, ~] = common_neighbours (n, 2);
  B = C2 - 1.5 * spones (C2);   % about a third of B's entries negative
  e = n / 2;
  compare ('corvane', @() corvane (C, B, 0.5, e), @() merge_route (C, B, 0.5, e));
  compare ('tessaly', @() tessaly (C, d, 0.05), @() jaccard_route (C, d, 0.05));
  compare ('Vostrel', @() Vostrel (C, d'), @() overlap_route (C, d'));

  rand ('state', 3);
  listed = (1:3000)';
  logicalAtts = rand (256, 3000) < 0.1;
  compare ('tessaly5', @() tessaly5 (logicalAtts, listed, 0.5, 0.01), @() attribute_route (double (logicalAtts), 0.5));
  compare ('tessaly5b', @() tessaly5b (logicalAtts, listed, 0.5), @() attribute_route (double (logicalAtts), 0.5));
  numericAtts = double (rand (3000, 256) < 0.1);
  compare ('tessaly5a', @() tessaly5a (numericAtts, listed, 0.5), @() attribute_route (numericAtts', 0.5));
  widerAtts = double (rand (6000, 256) < 0.1);
  every2nd = (2:2:6000)';
  compare ('5a 1 in 2', @() tessaly5a (widerAtts, every2nd, 0.5), @() listed_route (widerAtts, every2nd, 0.5));
end

% attribute_route on the listed rows of a table with one row per node, placed in the rows and
% columns of the listed nodes.
function S = listed_route (table, listed, threshold)
  [r, c, v] = find (attribute_route (table(listed, :)', threshold));
  S = sparse (listed(r), listed(c), v, rows (table), rows (table));
end

% The common-neighbour counts C = G * G of an undirected graph of n nodes, each joined to about
% 12 random others, and the degrees of its nodes as a column.
function [C, d] = common_neighbours (n, seed)
  rand ('state', seed);
  i = ceil (n * rand (6 * n, 1));
  j = ceil (n * rand (6 * n, 1));
  apart = i ~= j;
  G = spones (sparse ([i(apart); j(apart)], [j(apart); i(apart)], 1, n, n));
  d = full (sum (G, 2));
  C = G * G;
end

% Prints one row: the fastest of three calls of the plug-in and of the route, their ratio, and
% whether both give the same matrix.
function compare (name, plugin, route)
  [pluginTime, fromPlugin] = fastest (plugin);
  [routeTime, fromRoute] = fastest (route);
  same = 'no';
  if isequal (fromPlugin, fromRoute)
    same = 'yes';
  end
  printf ('%-10s %9.1f ms %9.1f ms %8.2fx   %s\n', name, 1e3 * pluginTime, 1e3 * routeTime, routeTime / pluginTime, same);
end

% corvane's result the vectorised way: A's entries weighted inside the block, B's entries there
% added, then only positive results kept.
function S = merge_route (A, B, w, e)
  n = rows (A);
  [ia, ja, va] = find (A);
  [ib, jb, vb] = find (B);
  inA = ia <= e & ja <= e;
  inB = ib <= e & jb <= e;
  S = sparse ([ia; ib(inB)], [ja; jb(inB)], [va .* (1 - w * inA); w * vb(inB)], n, n);
  S = S .* (S > 0);
end

% tessaly's result the vectorised way.
function S = jaccard_route (C, d, threshold)
  [r, j, v] = find (C);
  unionSize = d(r) + d(j) - v;
  s = v ./ unionSize;
  keep = unionSize > 0 & s > threshold;
  S = sparse (r(keep), j(keep), s(keep), rows (C), columns (C));
end

% Vostrel's result the vectorised way (d a row).
function S = overlap_route (C, d)
  [r, j, v] = find (C);
  d = fix (d(:));
  S = sparse (r, j, v ./ min (d(r), d(j)), rows (C), columns (C));
end

% The similarities above the threshold of all nodes of X (one column per node, 0/1) through
% X' * X, with |a| + |b| - shared as the union and 1 on the diagonal.
function S = attribute_route (X, threshold)
  shared = X' * X;
  held = sum (X, 1);
  either = held' + held - shared;
  J = shared ./ either;
  J(either == 0) = 0;
  J(1:rows (J) + 1:end) = 1;
  J(J <= threshold) = 0;
  S = sparse (J);
end
