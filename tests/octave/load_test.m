% ok = load_test (casesdir, calls)
%   Calls every module CALLS times in this one Octave session, cycling through its small gateway
%   cases, valid and erroring, and checks that the process's resident memory stops growing: after
%   the first tenth of the calls it may grow by no more than 4 MiB. Each call must still raise
%   exactly when its case says so. What the plug-ins print goes to standard output, which the
%   caller may discard; the table of memory goes to standard error. Returns whether all passed.
function ok = load_test (casesdir, calls)
  files = dir (fullfile (casesdir, '*.cases'));
  ok = true;
  fprintf (stderr, "%-16s %8s %14s %14s\n", 'module', 'calls', 'RSS after 10%', 'RSS at end');
  for f = 1:numel (files)
    cases = read_cases (fullfile (casesdir, files(f).name));
    cases = cases(cellfun (@(c) c.elements <= 20000, cases));
    inputs = cellfun (@(c) cellfun (@(make) make (), c.inputs, 'UniformOutput', false), cases, ...
                      'UniformOutput', false);
    [~, word] = fileparts (files(f).name);
    settled = 0;
    for k = 1:calls
      pick = mod (k - 1, numel (cases)) + 1;
      c = cases{pick};
      args = inputs{pick};
      outs = cell (1, max (c.nlhs, 1));
      raised = false;
      try
        [outs{1:c.nlhs}] = feval (c.function, args{:});
      catch
        raised = true;
      end
      if (raised != c.raises)
        fprintf (stderr, "FAIL %s: raised %d, expected %d\n", c.where, raised, c.raises);
        ok = false;
        break;
      end
      if (k == ceil (calls / 10))
        settled = resident_kib ();
      end
    end
    final = resident_kib ();
    fprintf (stderr, "%-16s %8d %10d KiB %10d KiB\n", word, calls, settled, final);
    if (final - settled > 4096)
      fprintf (stderr, "FAIL %s: resident memory grew by %d KiB over %d calls\n", word, final - settled, calls);
      ok = false;
    end
  end
end

% The resident memory of this process, in KiB.
function kib = resident_kib ()
  status = fileread ('/proc/self/status');
  kib = str2double (regexp (status, 'VmRSS:\s*(\d+)', 'tokens', 'once'){1});
end
