% top_bench (plugins, sizes)
%   neighborSimilarity's TopK 10 with no threshold against the threshold that keeps as many pairs,
%   in one run, on one thread, in processor time, the fastest of three calls: every measure on the
%   graphs of neighbor_bench with 40,000 nodes (hubs, heavy tail), and jaccard and cosine on the
%   same kinds of graphs of each of SIZES nodes beyond (default 200,000). The threshold is the
%   value of the first pair past TopK's count, among the pairs above a low threshold; ties make
%   its count a little different. Then attributeSimilarity's TopK 10 against its matched threshold
%   on the tables of similarity_bench. Run by scripts/bench.sh, or:
%     octave-cli --eval "addpath('bench/octave'); top_bench('build/octave')"
function top_bench (plugins, sizes)
  addpath (plugins);
  if (nargin < 2)
    sizes = 200000;
  end
  measures = {"jaccard", "cosine", "dice", "hubDepressed", "overlap", "lhn", "common", "adamicAdar", ...
              "resourceAllocation"};
  for n = [40000, sizes]
    if (n > 40000)
      measures = measures(1:2);
    end
    graphs = {"hubs", hub_graph(n, 11, 23 * n / 40000, 885, 1); "heavy tail", power_law_graph(n, 12.6, 2.85, 7)};
    for g = 1:rows (graphs)
      printf ("\n== %s, %d nodes\n", graphs{g, 1}, n);
      for m = 1:numel (measures)
        top_against_threshold (graphs{g, 2}, measures{m});
      end
    end
  end
  rand ("state", 5);
  tables = {"3000 x 256, density 0.1", rand(256, 3000) < 0.1;
            "3000 x 2000, skewed", bsxfun(@lt, rand(2000, 3000), 0.5 ./ (1:2000)')};
  for k = 1:rows (tables)
    printf ("\n== attributes: %s\n", tables{k, 1});
    for measure = {"jaccard", "dice", "cosine", "overlap"}
      top_against_threshold (tables{k, 2}, measure{1}, @attributeSimilarity);
    end
  end
end

% One measure's TopK 10 against the threshold keeping as many pairs.
function top_against_threshold (G, measure, plugin)
  if (nargin < 3)
    plugin = @neighborSimilarity;
  end
  k = 10;
  [top, S] = fastest (@() plugin (G, measure, "TopK", k, "Threads", 1));
  low = fastest_value (plugin, G, measure, nnz (S));
  [thresholded, T] = fastest (@() plugin (G, measure, "Threshold", low, "Threads", 1));
  printf ("%-18s TopK %d: %8d pairs, %.3f s; Threshold %.4g: %8d pairs, %.3f s; TopK / threshold %.2fx\n", ...
          measure, k, nnz (S), top, low, nnz (T), thresholded, top / thresholded);
end

% The value of the first pair past `count` in descending order, among the pairs above ever lower
% thresholds until there are more than `count` of them.
function value = fastest_value (plugin, G, measure, count)
  for low = [0.1, 0.03, 0.01, 0]
    evalc ("W = plugin (G, measure, 'Threshold', low);");
    if (nnz (W) > count)
      break;
    end
  end
  values = sort (nonzeros (W), "descend");
  value = values(min (count, numel (values) - 1) + 1);
end
