% attribute_bench (nodes, threshold)
%   Times attributeJaccard against tessaly5 and against the BLAS route through X' * X on random
%   logical tables, in one run, and prints the ratios and each call's peak memory. Run from the
%   repository with the built plug-ins on the path:
%     octave-cli --eval "addpath('build/octave', 'bench/octave'); attribute_bench"
%   NODES (default [3000 20000]) are the listed nodes (every node of the table) and THRESHOLD
%   (default 0.2) is the threshold of every call. Each table has 256 or 1024 attributes held with
%   probability 0.1 or 0.01, and last one of 2000 attributes of skewed frequencies, as real
%   attribute tables have them (attribute a held with probability 0.5 / a; "skew" in the table). tessaly5 gets exactly the room the result needs; the BLAS route
%   computes the shared counts as X' * X in double (in blocks of 4096 columns beyond 4096 nodes),
%   the unions from the counts held, and keeps what passes in a sparse matrix. All three must
%   return the same matrix. A full run takes about twenty minutes here, most of it in tessaly5 at
%   20,000 nodes.
%
%   Peak memory: the most the process held during a call beyond what it held before (resident
%   memory, from /proc/self/status after resetting its peak), plus the table the call reads, as
%   a multiple of the table plus the result (16 bytes an entry and 8 a column).
function attribute_bench (nodes, threshold)
  if (nargin < 1)
    nodes = [3000 20000];
  end
  if (nargin < 2)
    threshold = 0.2;
  end
  printf ("attributeJaccard against tessaly5 and X' * X, threshold %g; BLAS: %s\n", threshold, blas_name ());
  printf ("%6s %5s %5s %9s | %9s %9s %9s %9s | %8s %8s | %6s %6s %6s\n", "nodes", "attrs", "dens", ...
          "stored", "aJ (s)", "sparse", "tess5 (s)", "X'X (s)", "tess5/aJ", "X'X/aJ", "mem aJ", "tess5", "X'X");
  for n = nodes
    for attrs = [256 1024]
      for density = [0.1 0.01]
        run_size (n, attrs, density, threshold);
      end
    end
    run_size (n, 2000, "skewed", threshold);
  end
end

% One row of the table.
function run_size (n, attrs, density, threshold)
  rand ("seed", n + attrs);
  if (ischar (density))
    X = bsxfun (@lt, rand (attrs, n), 0.5 ./ (1:attrs)');
  else
    X = rand (attrs, n) < density;
  end
  Xs = sparse (X);
  everyone = (1:n)';
  [aj, S, memAj] = timed (@() attributeJaccard (X, everyone, threshold));
  ajSparse = timed (@() attributeJaccard (Xs, everyone, threshold));
  room = (nnz (S) + 0.5) / n^2;
  [tess, T, memTess] = timed (@() tessaly5 (X, everyone, threshold, room));
  [blas, B, memBlas] = timed (@() blas_route (X, threshold));
  if (! isequal (S, T) || ! isequal (S, B))
    error ("attribute_bench: the three results differ at %d nodes, %d attributes", n, attrs);
  end
  needed = numel (X) + 16 * nnz (S) + 8 * (n + 1);
  share = @(peak) (numel (X) + peak) / needed;
  printf ("%6d %5d %5s %9d | %9.4f %9.4f %9.3f %9.3f | %8.1f %8.1f | %6.2f %6.2f %6.2f\n", n, attrs, ...
          density_text (density), nnz (S), aj, ajSparse, tess, blas, tess / aj, blas / aj, share (memAj), share (memTess), ...
          share (memBlas));
  fflush (stdout);
end

% The Jaccard similarities above the threshold the way a user without plug-ins computes them:
% shared counts from the BLAS, unions from the counts held, in blocks of columns.
function S = blas_route (X, threshold)
  D = double (X);
  held = full (sum (D, 1));
  n = columns (D);
  block = 4096;
  [rows, cols, values] = deal (cell (1, ceil (n / block)));
  for first = 1:block:n
    c = first:min (first + block - 1, n);
    both = D' * D(:, c);
    either = held' + held(c) - both;
    similarity = both ./ either;
    similarity(either == 0) = 0;
    similarity(sub2ind (size (similarity), c, 1:numel (c))) = 1;
    [i, j, v] = find (similarity .* (similarity > threshold));
    k = 1 + (first - 1) / block;
    [rows{k}, cols{k}, values{k}] = deal (i, j + first - 1, v);
  end
  S = sparse (vertcat (rows{:}), vertcat (cols{:}), vertcat (values{:}), n, n);
end

% The best of up to ten runs of f (while they take under two seconds together: this machine is
% shared), its result and the most memory one run held beyond what the process held before it.
function [best, result, peak] = timed (f)
  best = Inf;
  peak = 0;
  spent = 0;
  for run = 1:10
    if (run > 1)
      clear result;
    end
    before = status_bytes ("VmRSS");
    reset_peak ();
    start = tic;
    evalc ("result = f ();");
    elapsed = toc (start);
    peak = max (peak, status_bytes ("VmHWM") - before);
    best = min (best, elapsed);
    spent += elapsed;
    if (spent > 2)
      break;
    end
  end
end

% The BLAS Octave loaded, as version -blas names it.
function name = blas_name ()
  name = "unknown";
  try
    name = strtrim (strsplit (version ("-blas"), "\n"){1});
  end
  if (isempty (name))
    name = "reference or unknown";
  end
end

% The density as the table shows it.
function text = density_text (density)
  if (ischar (density))
    text = "skew";
  else
    text = sprintf ("%.2f", density);
  end
end
