% ok = parallel_test ()
%   The help's recipe for working across workers, run with two workers of Octave's parallel package
%   (parcellfun): the slices of the columns, concatenated in order, are the single call's result,
%   bit for bit, for neighborSimilarity and attributeSimilarity. True when they are.
function ok = parallel_test ()
  pkg load parallel
  rand ("state", 20);
  G = sprand (300, 300, 0.03) > 0;
  G = double (G | G');
  X = sprand (40, 300, 0.1) > 0;
  parts = {1:150, 151:300};
  calls = {@(varargin) neighborSimilarity (G, "jaccard", "Threshold", 0.1, varargin{:}), ...
           @(varargin) neighborSimilarity (G, "adamicAdar", "TopK", 5, varargin{:}), ...
           @(varargin) attributeSimilarity (X, "cosine", "Threshold", 0.2, varargin{:})};
  ok = true;
  for k = 1:numel (calls)
    call = calls{k};
    evalc ("S = call ();");
    % The workers' lines go to the output as they come: evalc cannot run in a worker.
    slices = parcellfun (2, @(c) call ("Columns", c), parts, "UniformOutput", false);
    same = isequal ([slices{:}], S);
    printf ("%s: %d entries, two workers' slices %s\n", func2str (call), nnz (S), ifelse (same, "equal", "DIFFER"));
    ok = ok && same;
  end
end

function text = ifelse (condition, yes, no)
  if (condition)
    text = yes;
  else
    text = no;
  end
end
