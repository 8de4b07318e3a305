% similarity_bench (plugins)
%   neighborSimilarity and attributeSimilarity side by side with neighborJaccard and
%   attributeJaccard, and against what a user would write instead, in one run; processor time of
%   the fastest of three calls unless a line says otherwise. Run by scripts/bench.sh, or:
%     octave-cli --eval "addpath('bench/octave'); similarity_bench('build/octave')"
%   For each graph of neighbor_bench (hubs, heavy tail) it prints:
%   - every measure at thresholds 0.05 and 0.3 over neighborJaccard's time at the same threshold,
%     with the pairs each keeps; again at the threshold where the measure keeps as many pairs as
%     jaccard does; and the vectorised Octave route from G*G (P*P, the degrees, the measure of
%     every entry, the entries above the threshold kept) over the call at the same threshold;
%   - jaccard with TopK 10 and no threshold over jaccard with the threshold that keeps as many
%     pairs, and the peak memory of the TopK call in its own octave-cli: beyond G, and what it takes
%     beyond S (16 bytes an entry and the column starts) over n*k entries of 16 bytes;
%   - the two halves of the columns (Columns 1:n/2 and n/2+1:n) over the whole call;
%   - Rows of 1% of the nodes over the whole call, with threshold 0.05 and with none, and Pairs of
%     1000 random pairs over the whole call with none (one thread each, results compared);
%   - two workers of Octave's parallel package (parcellfun, wall time of one try, which includes
%     sending G to each worker) over one call (wall time).
%   Then attributeSimilarity's measures over attributeJaccard's time on a table of 3000 nodes with
%   256 attributes of density 0.1 and on one of 3000 nodes with 2000 attributes of skewed
%   frequencies (attribute a held with probability 0.5 / a).
function similarity_bench (plugins, file)
  addpath (plugins);
  if (nargin > 1)
    print_top_peak (file);
    return;
  end
  graphs = {"hubs", hub_graph(40000, 11, 23, 885, 1); "heavy tail", power_law_graph(40000, 12.6, 2.85, 7)};
  for g = 1:rows (graphs)
    G = graphs{g, 2};
    printf ("\n== %s: n = %d, nnz(G) = %d\n", graphs{g, 1}, columns (G), nnz (G));
    measures_against_jaccard (G);
    top_against_threshold (plugins, G);
    slices_against_whole (G);
    rows_and_pairs_against_whole (G);
  end
  attributes_against_jaccard ();
end

% Every measure over neighborJaccard at the same threshold and at the threshold of the measure
% that keeps as many pairs as jaccard does, and the vectorised route over the measure.
function measures_against_jaccard (G)
  measures = {"jaccard", "overlap", "dice", "cosine", "hubDepressed", "lhn", "common", "adamicAdar", ...
              "resourceAllocation"};
  printf ("%-19s %9s %10s %8s %10s %10s %8s %9s\n", "measure", "threshold", "pairs kept", "vs nJ", ...
          "matched t", "its pairs", "vs nJ", "route/it");
  for t = [0.05 0.3]
    [jaccard, J] = fastest (@() neighborJaccard (G, t));
    for m = 1:numel (measures)
      [seconds, S] = fastest (@() neighborSimilarity (G, measures{m}, "Threshold", t));
      values = sort (nonzeros (neighborSimilarity_quiet (G, measures{m}, "Threshold", 0)), "descend");
      matched = values(min (nnz (J), numel (values) - 1) + 1);
      [alike, M] = fastest (@() neighborSimilarity (G, measures{m}, "Threshold", matched));
      route = fastest (@() vectorised_measure (G, measures{m}, t), 1);
      printf ("%-19s %9.2f %10d %7.2fx %10.4g %10d %7.2fx %8.1fx\n", measures{m}, t, nnz (S), seconds / jaccard, ...
              matched, nnz (M), alike / jaccard, route / seconds);
    end
  end
end

% The measure of every entry of P*P above the threshold, in vectorised Octave.
function S = vectorised_measure (G, measure, threshold)
  P = spones (G);
  d = full (sum (P, 2));
  switch (measure)
    case "adamicAdar"
      w = zeros (size (d));
      w(d > 1) = 1 ./ log (d(d > 1));
      C = P * spdiags (w, 0, rows (P), rows (P)) * P;
    case "resourceAllocation"
      C = P * spdiags (1 ./ max (d, 1), 0, rows (P), rows (P)) * P;
    otherwise
      C = P * P;
  end
  [i, j, c] = find (C);
  clear C;
  switch (measure)
    case "jaccard", v = c ./ ((d(i) + d(j)) - c);
    case "overlap", v = c ./ min (d(i), d(j));
    case "dice", v = 2 * c ./ (d(i) + d(j));
    case "cosine", v = c ./ sqrt (d(i) .* d(j));
    case "hubDepressed", v = c ./ max (d(i), d(j));
    case "lhn", v = c ./ (d(i) .* d(j));
    otherwise, v = c;
  end
  kept = v > threshold;
  S = sparse (i(kept), j(kept), v(kept), rows (G), columns (G));
end

% TopK 10 with no threshold against the threshold that keeps as many pairs; TopK's peak memory.
function top_against_threshold (plugins, G)
  k = 10;
  [top, S] = fastest (@() neighborSimilarity (G, "jaccard", "TopK", k));
  values = sort (nonzeros (neighborSimilarity_quiet (G, "jaccard", "Threshold", 0.01)), "descend");
  t = values(min (nnz (S), numel (values)) + 1);
  [thresholded, T] = fastest (@() neighborSimilarity (G, "jaccard", "Threshold", t));
  printf ("TopK %d: %d pairs, %.3f s; Threshold %.4f: %d pairs, %.3f s; TopK / threshold %.2fx\n", k, nnz (S), ...
          top, t, nnz (T), thresholded, top / thresholded);
  file = [tempname(), ".mat"];
  save ("-binary", file, "G", "k");
  peak = child_peak (plugins, file);
  delete (file);
  n = columns (G);
  workspace = peak - 16 * nnz (S) - 8 * (n + 1);
  printf ("TopK %d: peak beyond G %.1f MB, workspace beyond S %.2f of n*k entries of 16 bytes\n", k, ...
          peak / 2^20, workspace / (16 * n * k));
end

% The peak memory of one TopK call in a fresh octave-cli, beyond what it held with G loaded.
function peak = child_peak (plugins, file)
  here = fileparts (mfilename ("fullpath"));
  octave = fullfile (OCTAVE_HOME (), "bin", "octave-cli");
  command = sprintf ("%s --norc --no-history --quiet --eval \"addpath('%s'); similarity_bench('%s', '%s')\"", ...
                     octave, here, make_absolute_filename (plugins), file);
  [status, output] = system (command);
  line = regexp (output, 'peak: (\d+)', "tokens", "once");
  if (status != 0 || isempty (line))
    error ("similarity_bench: the TopK child failed:\n%s", output);
  end
  peak = str2double (line{1});
end

% In the child: G and k from the file, one TopK call, the peak it took printed.
function print_top_peak (file)
  load (file);
  reset_peak ();
  before = status_bytes ("VmRSS");
  evalc ("S = neighborSimilarity (G, 'jaccard', 'TopK', k);");
  printf ("peak: %d\n", status_bytes ("VmHWM") - before);
end

% The two halves of the columns against the whole call, and two workers against one.
function slices_against_whole (G)
  n = columns (G);
  halves = {1:floor(n / 2), floor(n / 2) + 1:n};
  call = @(varargin) neighborSimilarity (G, "jaccard", "Threshold", 0.05, varargin{:});
  [whole, S] = fastest (call);
  [first, A] = fastest (@() call ("Columns", halves{1}));
  [second, B] = fastest (@() call ("Columns", halves{2}));
  printf ("Columns halves: %.3f s + %.3f s = %.2fx the whole call (%.3f s), identical %d\n", first, second, ...
          (first + second) / whole, whole, isequal ([A, B], S));
  if (isempty (pkg ("list", "parallel")))
    printf ("two workers: skipped, Octave's parallel package is not installed\n");
    return;
  end
  pkg load parallel
  started = tic ();
  evalc ("S = call ();");
  one = toc (started);
  started = tic ();
  [~, slices] = evalc ('parcellfun (2, @(c) call ("Columns", c), halves, "UniformOutput", false);');
  two = toc (started);
  printf ("two workers: %.3f s, one call %.3f s (wall time): %.2fx faster, identical %d\n", two, one, one / two, ...
          isequal ([slices{:}], S));
end

% A hundredth of the rows, and 1000 listed pairs, against the whole call they are part of.
function rows_and_pairs_against_whole (G)
  n = columns (G);
  rand ("state", 3);
  chosen = sort (randperm (n, round (n / 100)));
  listed = randi (n, 1000, 2);
  for threshold = [0.05, 0]
    call = @(varargin) neighborSimilarity (G, "jaccard", "Threshold", threshold, "Threads", 1, varargin{:});
    [whole, S] = fastest (call);
    [part, R] = fastest (@() call ("Rows", chosen));
    printf ("Rows of 1%% of the nodes, threshold %.2f: %.4f s, %.1f%% of the whole call (%.3f s), identical %d\n", ...
            threshold, part, 100 * part / whole, whole, isequal (R, S(chosen, :)));
  end
  [part, V] = fastest (@() neighborSimilarity (G, "jaccard", "Pairs", listed, "Threads", 1));
  printf ("Pairs, 1000 of them: %.5f s, %.2f%% of the whole call with no threshold, identical %d\n", part, ...
          100 * part / whole, isequal (V, full (S(sub2ind ([n, n], listed(:, 1), listed(:, 2))))));
end

% attributeSimilarity's measures against attributeJaccard on two tables.
function attributes_against_jaccard ()
  rand ("state", 5);
  tables = {"3000 x 256, density 0.1", rand(256, 3000) < 0.1;
            "3000 x 2000, skewed", bsxfun(@lt, rand(2000, 3000), 0.5 ./ (1:2000)')};
  measures = {"jaccard", "dice", "cosine", "overlap", "simpleMatching"};
  thresholds = [0.2, 0.2, 0.2, 0.5, 0.99];
  for k = 1:rows (tables)
    X = tables{k, 2};
    printf ("\n== attributes: %s\n", tables{k, 1});
    for m = 1:numel (measures)
      t = thresholds(m);
      jaccard = fastest (@() attributeJaccard (X, [], t));
      [seconds, S] = fastest (@() attributeSimilarity (X, measures{m}, "Threshold", t));
      printf ("%-16s threshold %.2f: %9d pairs, %.3f s, %.2fx attributeJaccard at the same threshold\n", ...
              measures{m}, t, nnz (S), seconds, seconds / jaccard);
    end
  end
end

% neighborSimilarity without its lines.
function S = neighborSimilarity_quiet (varargin)
  evalc ("S = neighborSimilarity (varargin{:});");
end
