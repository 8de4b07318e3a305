% ok = build_plugins_test (casesdir, words)
%   Runs build_plugins, the MATLAB build script, in Octave into a fresh temporary folder and checks
%   every function named in WORDS from there: found there, with its help, and the gateway cases in
%   CASESDIR passing. Leaves nothing behind.
function ok = build_plugins_test (casesdir, words)
  outdir = tempname ();
  confirm_recursive_rmdir (false, 'local');
  unwind_protect
    build_plugins (outdir);
    outdir = canonicalize_file_name (outdir);
    addpath (outdir);
    ok = check_functions_from (outdir, words, casesdir);
    rmpath (outdir);
  unwind_protect_cleanup
    if (exist (outdir, 'dir'))
      rmdir (outdir, 's');
    end
  end_unwind_protect
end
