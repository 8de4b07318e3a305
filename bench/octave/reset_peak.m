% reset_peak ()
%   Starts the process's peak memory (VmHWM) over again from the memory now held, where the
%   system allows it.
function reset_peak ()
  [f, ~] = fopen ("/proc/self/clear_refs", "w");
  if (f >= 0)
    fputs (f, "5");
    fclose (f);
  end
end
