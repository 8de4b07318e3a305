% ok = package_test (tarball, casesdir, words)
%   Installs the Octave package TARBALL into a fresh temporary prefix with pkg install, loads it,
%   and checks every function named in WORDS from there: found in the prefix, with its help, its
%   own %!test blocks and the gateway cases in CASESDIR passing. Leaves nothing behind.
function ok = package_test (tarball, casesdir, words)
  root = tempname ();
  mkdir (root);
  root = canonicalize_file_name (root);
  confirm_recursive_rmdir (false, 'local');
  unwind_protect
    pkg ('prefix', fullfile (root, 'share'), fullfile (root, 'lib'));
    pkg ('local_list', fullfile (root, 'local_packages'));
    pkg ('global_list', fullfile (root, 'global_packages'));
    pkg ('install', '-local', tarball);
    pkg ('load', 'netsparse');
    ok = check_functions_from (root, words, casesdir);
    for k = 1:numel (words)
      if (! test (words{k}, 'quiet', stdout))
        printf ("FAIL test %s\n", words{k});
        ok = false;
      end
    end
  unwind_protect_cleanup
    if (any (strcmp ('netsparse', cellfun (@(p) p.name, pkg ('list'), 'UniformOutput', false))))
      pkg ('unload', 'netsparse');
      pkg ('uninstall', 'netsparse');
    end
    rmdir (root, 's');
  end_unwind_protect
end
