% failed = run_cases (folder, largest)
%   Runs every case of the *.cases files in FOLDER against the plug-ins on Octave's path,
%   comparing every printed line, the error or the returned sparse matrix exactly. With LARGEST,
%   cases whose inputs and result hold more elements than that are left out. Prints each difference and
%   returns the number of failed cases.
function failed = run_cases (folder, largest)
  if (nargin < 2)
    largest = Inf;
  end
  files = dir (fullfile (folder, '*.cases'));
  failed = 0;
  total = 0;
  skipped = 0;
  for f = 1:numel (files)
    cases = read_cases (fullfile (folder, files(f).name));
    for k = 1:numel (cases)
      if (cases{k}.elements > largest)
        skipped += 1;
        continue;
      end
      problems = run_case (cases{k});
      total += 1;
      if (! isempty (problems))
        failed += 1;
        printf ("FAIL %s %s\n", cases{k}.where, cases{k}.name);
        printf ("  %s\n", problems{:});
      end
    end
  end
  printf ("%d of %d cases passed", total - failed, total);
  if (skipped > 0)
    printf (" (%d with more than %d elements left out)", skipped, largest);
  end
  printf ("\n");
end
