% thread_bench (threads, calls)
%   Times the threaded calls of the plug-ins at THREADS threads (set by maxNumCompThreads, which
%   the plug-ins ask) in wall-clock time, the fastest of three calls, beside the Octave route at
%   the same number of threads, and checks that each result equals the call's own result on one
%   thread, bit for bit. Run by scripts/bench_threads.sh, which starts one octave-cli for each
%   number of threads, pinned to that many processors (taskset) and with OpenBLAS's threads set
%   to match; the plug-ins and these scripts must be on the path.
%
%   CALLS (default all) names some of: "jaccard 0.05", "jaccard 0.3" (neighborJaccard on a
%   graph of 200,000 nodes with heavy-tailed degrees, about 12.6 neighbours a node, at those
%   thresholds; the route: C = G*G, then tessaly), "cosine top 10" (neighborSimilarity cosine,
%   TopK 10, on the same graph; the route: G*G alone), "adamicAdar 0.5" (neighborSimilarity
%   Adamic-Adar above 0.5; the route: G*G alone), "attributes 256" (attributeJaccard of 20,000
%   nodes with 256 attributes held with probability 0.1, threshold 0.2; the route: X' * X by the
%   BLAS) and "cosine skewed" (attributeSimilarity cosine above 0.5 of 3000 nodes with 2000
%   attributes, attribute a held with probability 0.5 / a; the route: X' * X).
%
%   Prints one line a call: "<call>|<threads>|<seconds>|<route seconds>|<peak MB>|<same>", the
%   peak being the most the process held during the call beyond what it held before it.
function thread_bench (threads, calls)
  all = {"jaccard 0.05", "jaccard 0.3", "cosine top 10", "adamicAdar 0.5", "attributes 256", "cosine skewed"};
  if (nargin < 2)
    calls = all;
  end
  warning ("off", "Octave:maxNumCompThreads:no-effect");
  G = [];
  for k = 1:numel (calls)
    name = calls{k};
    if (strncmp (name, "attributes", 10) || strcmp (name, "cosine skewed"))
      [call, route] = attribute_call (name);
    else
      if (isempty (G))
        G = power_law_graph (200000, 12.6, 2.85, 7);
      end
      [call, route] = neighbor_call (name, G);
    end
    maxNumCompThreads (1);
    evalc ("alone = call ();");
    maxNumCompThreads (threads);
    [seconds, result, peak] = timed (call);
    same = isequal (result, alone) && nzmax (result) == nzmax (alone);
    clear result alone;
    routeSeconds = timed (route);
    printf ("%s|%d|%.4f|%.4f|%.1f|%d\n", name, threads, seconds, routeSeconds, peak / 2^20, same);
    fflush (stdout);
  end
  maxNumCompThreads ("automatic");
end

% A call of the neighbourhood plug-ins on G, and the Octave route beside it.
function [call, route] = neighbor_call (name, G)
  P = spones (G);
  d = full (sum (P, 2));
  switch (name)
    case "jaccard 0.05"
      call = @() neighborJaccard (G, 0.05);
      route = @() tessaly (P * P, d, 0.05);
    case "jaccard 0.3"
      call = @() neighborJaccard (G, 0.3);
      route = @() tessaly (P * P, d, 0.3);
    case "cosine top 10"
      call = @() neighborSimilarity (G, "cosine", "TopK", 10);
      route = @() P * P;
    case "adamicAdar 0.5"
      call = @() neighborSimilarity (G, "adamicAdar", "Threshold", 0.5);
      route = @() P * P;
    otherwise
      error ("thread_bench: no call '%s'", name);
  end
end

% A call of the attribute plug-ins on its table, and the route through X' * X beside it.
function [call, route] = attribute_call (name)
  if (strcmp (name, "attributes 256"))
    rand ("seed", 20256);
    X = rand (256, 20000) < 0.1;
    call = @() attributeJaccard (X, [], 0.2);
  else
    rand ("seed", 5000);
    X = bsxfun (@lt, rand (2000, 3000), 0.5 ./ (1:2000)');
    call = @() attributeSimilarity (X, "cosine", "Threshold", 0.5);
  end
  route = @() gram (X);
end

% The shared counts X' * X in double, the BLAS's part of the route (in blocks of 4096 columns).
function total = gram (X)
  D = double (X);
  total = 0;
  for first = 1:4096:columns (D)
    c = first:min (first + 4095, columns (D));
    total += sum (sum (D' * D(:, c)));
  end
end

% The fastest of three runs of f, in wall-clock time, its result and the most memory one run held
% beyond what the process held before it.
function [best, result, peak] = timed (f)
  best = Inf;
  peak = 0;
  for run = 1:3
    if (run > 1)
      clear result;
    end
    before = status_bytes ("VmRSS");
    reset_peak ();
    start = tic;
    evalc ("result = f ();");
    best = min (best, toc (start));
    peak = max (peak, status_bytes ("VmHWM") - before);
  end
end
