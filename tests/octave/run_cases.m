% failed = run_cases (folder, largest, threads)
%   Runs every case of the *.cases files in FOLDER against the plug-ins on Octave's path,
%   comparing every printed line, the error or the returned sparse matrix exactly. With LARGEST,
%   cases whose inputs and result hold more elements than that are left out. Each case runs once
%   for each count of THREADS (1, 2 and 3 unless given) that maxNumCompThreads answers the
%   plug-ins, and every later run must do exactly what the first did, its values bit for bit.
%   Prints each difference and returns the number of failed cases.
function failed = run_cases (folder, largest, threads)
  if (nargin < 2)
    largest = Inf;
  end
  if (nargin < 3)
    threads = [1 2 3];
  end
  % Octave's maxNumCompThreads only keeps the number for whoever asks, and warns that it does.
  warning ('off', 'Octave:maxNumCompThreads:no-effect', 'local');
  files = dir (fullfile (folder, '*.cases'));
  failed = 0;
  total = 0;
  skipped = 0;
  unwind_protect
    for f = 1:numel (files)
      cases = read_cases (fullfile (folder, files(f).name));
      for k = 1:numel (cases)
        if (cases{k}.elements > largest)
          skipped += 1;
          continue;
        end
        problems = run_on_threads (cases{k}, threads);
        total += 1;
        if (! isempty (problems))
          failed += 1;
          printf ("FAIL %s %s\n", cases{k}.where, cases{k}.name);
          printf ("  %s\n", problems{:});
        end
      end
    end
  unwind_protect_cleanup
    maxNumCompThreads ('automatic');
  end_unwind_protect
  printf ("%d of %d cases passed", total - failed, total);
  if (skipped > 0)
    printf (" (%d with more than %d elements left out)", skipped, largest);
  end
  printf ("\n");
end

% Runs case C once for each count of THREADS; returns every difference from the case, and from
% the first run in any later one.
function problems = run_on_threads (c, threads)
  problems = {};
  for t = 1:numel (threads)
    maxNumCompThreads (threads(t));
    [found, outcome] = run_case (c);
    if (t == 1)
      first = outcome;
    elseif (! isequal (outcome, first))
      found{end+1} = 'the call did otherwise than at the first count of threads';
    end
    problems = [problems, cellfun(@(p) sprintf ('%d threads: %s', threads(t), p), found, 'UniformOutput', false)];
  end
end
