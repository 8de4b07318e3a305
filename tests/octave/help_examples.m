% failures = help_examples (words)
%   Runs the example of each function's help text as written, with no inputs defined beforehand:
%   an example makes its own. Returns how many functions have no example or one that raises an
%   error.
function failures = help_examples (words)
  failures = 0;
  for k = 1:numel (words)
    code = example_code (words{k});
    if (isempty (code))
      printf ("FAIL  %s: its help text has no example\n", words{k});
      failures++;
      continue;
    end
    message = run_example (code);
    if (isempty (message))
      printf ("ok    %s: %s\n", words{k}, strjoin (strtrim (code), "; "));
    else
      printf ("FAIL  %s: %s\n", words{k}, strjoin (strtrim (code), "; "));
      printf ("      raised: %s\n", message);
      failures++;
    end
  end
end

% The code lines of a help text's example: from the line that starts "Example" to the next blank
% line, those indented deeper than that line (the others describe the example).
function code = example_code (word)
  lines = regexp (get_help_text (word), "\n", "split");
  code = {};
  start = find (! cellfun (@isempty, regexp (lines, '^\s*Example', 'once')), 1);
  if (isempty (start))
    return;
  end
  indent = numel (regexp (lines{start}, '^\s*', 'match', 'once'));
  for k = start + 1:numel (lines)
    if (isempty (strtrim (lines{k})))
      break;
    end
    if (numel (regexp (lines{k}, '^\s*', 'match', 'once')) > indent)
      code{end + 1} = lines{k};
    end
  end
end

% Runs example code as written, the random generators seeded first; returns the error message,
% or "".
function message = run_example (code)
  rand ("state", 12);
  randn ("state", 12);
  message = "";
  try
    evaluate (strjoin (code, "\n"));
  catch err
    message = sprintf ("%s (%s)", err.message, err.identifier);
  end
end

% Evaluates TEXT in a workspace of its own, which holds nothing but TEXT, its lines captured.
function evaluate (text)
  evalc (text);
end
