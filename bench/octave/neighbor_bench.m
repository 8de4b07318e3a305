% neighbor_bench (plugins)
%   Times neighborJaccard (G, t) from PLUGINS (a folder of built .mex files) against C = G*G
%   followed by tessaly (C, d, t) and against the same computed in vectorised Octave, side by
%   side in one run, and measures the peak memory of each route in a separate octave-cli process.
%   Prints one table per graph and threshold (t = 0.05; on the heavy tail also 0.3, 0.5 and 0.8):
%   the fastest call of each route in processor time, its ratio to neighborJaccard's, and its
%   peak memory. Run by scripts/bench.sh, or from the repository:
%     octave-cli --eval "addpath('bench/octave'); neighbor_bench('build/octave')"
%
%   The graphs, generated reproducibly:
%   - hubs: n = 40,000 nodes with 12 neighbours a node on average, C = G*G of about 22.7
%     million entries. Every node has 11 neighbours chosen at random (a random 11-regular
%     multigraph with its loops and repeated edges dropped, so a few have 9 or 10); 23 hubs
%     are each joined to 885 more nodes at random. The hubs make most of C: d(d+1)/2 pairs
%     through a node of degree d.
%   - heavy tail: the same size and mean degree, degrees of a power law with exponent 2.85
%     (Chung-Lu: edges drawn with probability proportional to weights i^(-1/1.85)); C is as
%     large but many pairs of nodes of small degree pass the threshold.
%   - hubs x 10: n = 400,000, 230 hubs, about ten times as large a C; a route whose estimated
%     memory exceeds 60% of what the machine has available is skipped (G*G and tessaly take
%     about 11 GB, the vectorised route about 15 GB).
%
% neighbor_bench (plugins, file, route, repeats)
%   Runs one route on the graph saved in FILE, in this process: what the table runs in each
%   octave-cli process. Prints one line "route: <seconds> <peak bytes> <nnz(S)> <sum(S)> <nnz(C)>".
function neighbor_bench (plugins, file, route, repeats)
  addpath (plugins);
  if (nargin == 4)
    run_route (file, route, repeats);
    return;
  end
  graphs = {"hubs", @() hub_graph(40000, 11, 23, 885, 1), 3, 0.05;
            "heavy tail", @() power_law_graph(40000, 12.6, 2.85, 7), 3, [0.05 0.3 0.5 0.8];
            "hubs x 10", @() hub_graph(400000, 11, 230, 885, 2), 1, 0.05};
  for g = 1:rows (graphs)
    G = graphs{g, 2} ();
    degrees = full (sum (G, 2));
    for threshold = graphs{g, 4}
      file = [tempname(), ".mat"];
      save ("-binary", file, "G", "threshold");
      print_heading (graphs{g, 1}, G, degrees, threshold);
      bench_graph (plugins, file, G, degrees, graphs{g, 3});
      delete (file);
    end
  end
end

% The three routes on one graph: each in its own process, the table and its ratios.
function bench_graph (plugins, file, G, degrees, repeats)
  % Each route with the bytes it takes for each product (d(d+1)/2 through a node of degree d), as
  % measured here, rounded up; neighborJaccard's depend on what it keeps and are left out.
  routes = {"neighborJaccard", "neighborJaccard (G, t)", 0;
            "tessaly", "C = G*G; tessaly (C, d, t)", 100;
            "vectorised", "vectorised Octave", 130};
  products = sum (degrees .* (degrees + 1) / 2);
  bytesG = 16 * nnz (G) + 8 * (columns (G) + 1);
  printf ("%-28s %9s %8s %11s %11s\n", "route", "time s", "ratio", "peak MB", "peak/(G+S)");
  base = [];
  for r = 1:rows (routes)
    needed = routes{r, 3} * products;
    if (needed > 0.6 * available_bytes ())
      printf ("%-28s skipped: needs about %.1f GB\n", routes{r, 2}, needed / 2^30);
      continue;
    end
    result = run_child (plugins, file, routes{r, 1}, repeats);
    if (isempty (base))
      base = result;
    end
    bytesS = 16 * result.stored + 8 * (columns (G) + 1);
    same = result.stored == base.stored && result.total == base.total;
    printf ("%-28s %9.3f %8.1f %11.1f %11.2f%s\n", routes{r, 2}, result.seconds, result.seconds / base.seconds, ...
            result.peak / 2^20, (bytesG + result.peak) / (bytesG + bytesS), ifelse_text (same, "", "  DIFFERENT RESULT"));
  end
  printf ("peak: the most memory the call took beyond what the process held before it (G included)\n");
end

function print_heading (name, G, degrees, threshold)
  products = sum (degrees .* (degrees + 1) / 2);
  printf ("\n== %s: n = %d, nnz(G) = %d (%.2f a node, largest degree %d), threshold %.2f, %.1f million products\n", ...
          name, columns (G), nnz (G), nnz (G) / columns (G), max (degrees), threshold, products / 1e6);
end

% Runs one route in a fresh octave-cli and reads back its result line.
function result = run_child (plugins, file, route, repeats)
  here = fileparts (mfilename ("fullpath"));
  octave = fullfile (OCTAVE_HOME (), "bin", "octave-cli");
  command = sprintf ("%s --norc --no-history --quiet --eval \"addpath('%s'); neighbor_bench('%s', '%s', '%s', %d)\"", ...
                     octave, here, make_absolute_filename (plugins), file, route, repeats);
  [status, output] = system (command);
  line = regexp (output, [route, ': ([^\n]*)'], "tokens", "once");
  if (status != 0 || isempty (line))
    error ("neighbor_bench: route %s failed:\n%s", route, output);
  end
  values = str2num (line{1});
  result = struct ("seconds", values(1), "peak", values(2), "stored", values(3), "total", values(4), ...
                   "counts", values(5));
end

% One route, timed in processor time over `repeats` calls (the fastest counts), with the peak
% memory it took.
function run_route (file, route, repeats)
  load (file);
  reset_peak ();
  before = status_bytes ("VmRSS");
  seconds = Inf;
  counts = 0;
  for k = 1:repeats
    clear S;
    started = cputime ();
    switch (route)
      case "neighborJaccard"
        evalc ("S = neighborJaccard (G, threshold);");
      case "tessaly"
        C = G * G;
        d = full (sum (G, 2));
        evalc ("S = tessaly (C, d, threshold);");
        counts = nnz (C);
      case "vectorised"
        [S, counts] = vectorised_jaccard (G, threshold);
    end
    seconds = min (seconds, cputime () - started);
    clear C d;
  end
  peak = status_bytes ("VmHWM") - before;
  printf ("%s: %.6f %d %d %.17g %d\n", route, seconds, peak, nnz (S), full (sum (S(:))), counts);
end

% tessaly (G*G, d, t) in plain vectorised Octave.
function [S, counts] = vectorised_jaccard (G, threshold)
  P = spones (G);
  C = P * P;
  counts = nnz (C);
  d = full (sum (P, 2));
  [i, j, v] = find (C);
  clear C;
  union = (d(i) + d(j)) - v;
  similarity = v ./ union;
  kept = union > 0 & similarity > threshold;
  S = sparse (i(kept), j(kept), similarity(kept), rows (G), columns (G));
end

% Memory the machine can still give, in bytes.
function bytes = available_bytes ()
  info = fileread ("/proc/meminfo");
  bytes = 1024 * str2double (regexp (info, 'MemAvailable:\s*(\d+)', "tokens", "once"){1});
end

function text = ifelse_text (condition, yes, no)
  if (condition)
    text = yes;
  else
    text = no;
  end
end
