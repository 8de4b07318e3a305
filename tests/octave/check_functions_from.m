% ok = check_functions_from (folder, words, casesdir)
%   Checks that every function named in WORDS is found under FOLDER, that its help is there too,
%   and that the gateway cases in CASESDIR all pass against the functions on the path.
%   Prints what fails; OK is true when nothing did.
function ok = check_functions_from (folder, words, casesdir)
  ok = true;
  for k = 1:numel (words)
    where = which (words{k});
    if (! strncmp (where, folder, numel (folder)))
      printf ("FAIL %s comes from '%s', not from %s\n", words{k}, where, folder);
      ok = false;
    end
    if (isempty (strfind (get_help_text (words{k}), words{k})))
      printf ("FAIL help %s does not show its usage\n", words{k});
      ok = false;
    end
  end
  ok = run_cases (casesdir) == 0 && ok;
end
