% failed = run_cases (folder)
%   Runs every case of the *.cases files in FOLDER against the plug-ins on Octave's path,
%   comparing every printed line, the error or the returned sparse matrix exactly.
%   Prints each difference and returns the number of failed cases.
function failed = run_cases (folder)
  files = dir (fullfile (folder, '*.cases'));
  failed = 0;
  total = 0;
  for f = 1:numel (files)
    cases = read_cases (fullfile (folder, files(f).name));
    for k = 1:numel (cases)
      problems = run_case (cases{k});
      total += 1;
      if (! isempty (problems))
        failed += 1;
        printf ("FAIL %s %s\n", cases{k}.where, cases{k}.name);
        printf ("  %s\n", problems{:});
      end
    end
  end
  printf ("%d of %d cases passed\n", total - failed, total);
end

function cases = read_cases (path)
  text = fileread (path);
  lines = strsplit (text, "\n");
  cases = {};
  for number = 1:numel (lines)
    line = lines{number};
    trimmed = strtrim (line);
    if (isempty (trimmed) || trimmed(1) == '#')
      continue;
    end
    [keyword, rest] = strtok (trimmed);
    rest = regexprep (line, '^\s*\S+\s?', '', 'once');
    switch (keyword)
      case 'case'
        c = struct ('where', sprintf ('%s:%d', path, number), 'name', rest, 'function', '', ...
                    'nlhs', 1, 'inputs', {{}}, 'output', '', 'raises', false, 'identifier', '', ...
                    'message', '', 'result', [], 'stored', -1, 'nzmax', -1, 'afterOutput', false);
      case 'call'
        words = strsplit (strtrim (rest));
        c.function = words{1};
        c.nlhs = str2double (words{2});
      case 'in'
        c.inputs{end+1} = build_input (rest);
      case 'line'
        quotes = find (rest == '"');
        c.output = [c.output, rest(quotes(1)+1:quotes(end)-1), "\n"];
      case 'error'
        [c.identifier, message] = strtok (rest);
        c.raises = true;
        c.message = regexprep (message, '^ ', '', 'once');
      case 'result'
        parts = strsplit (rest, '|');
        size = numbers (parts{1});
        c.result = struct ('m', size(1), 'n', size(2), 'jc', numbers (parts{2}), ...
                           'ir', numbers (parts{3}), 'pr', numbers (parts{4}));
      case 'stored'
        c.stored = str2double (rest);
      case 'nzmax'
        c.nzmax = str2double (rest);
      case 'after-output'
        c.afterOutput = true;
      case 'end'
        cases{end+1} = c;
      otherwise
        error ('run_cases:format', '%s:%d: unknown keyword %s', path, number, keyword);
    end
  end
end

% The numbers of a list: decimals, NaN, Inf, -Inf and fractions a/b.
function values = numbers (text)
  words = strsplit (strtrim (text));
  words = words(! cellfun (@isempty, words));
  values = zeros (1, numel (words));
  for k = 1:numel (words)
    halves = strsplit (words{k}, '/');
    values(k) = str2double (halves{1});
    if (numel (halves) == 2)
      values(k) /= str2double (halves{2});
    end
  end
end

function value = build_input (rest)
  parts = strsplit (rest, '|');
  words = strsplit (strtrim (parts{1}));
  kind = words{1};
  sizes = str2double (words(2:end));
  switch (kind)
    case 'sparse'
      value = sparse_from_parts (sizes(1), sizes(2), numbers (parts{2}), numbers (parts{3}), numbers (parts{4}));
    case 'full'
      value = reshape (numbers (parts{2}), sizes(1), sizes(2));
    case 'scalar'
      value = numbers (words{2});
    case 'logical'
      value = logical (reshape (numbers (parts{2}), sizes(1), sizes(2)));
    case 'sparse-logical'
      value = sparse_from_parts (sizes(1), sizes(2), numbers (parts{2}), numbers (parts{3}), numbers (parts{4})) != 0;
    case 'identity'
      value = sparse (1:sizes(1), 1:sizes(1), sizes(2), sizes(1), sizes(1));
    case 'column'
      value = (sizes(1):sizes(2))';
    case 'class'
      value = of_class (words{2}, str2double (words{3}), str2double (words{4}), words(5:end));
    otherwise
      error ('run_cases:format', 'unknown input kind %s', kind);
  end
end

function value = of_class (name, m, n, flags)
  switch (name)
    case 'cell'
      value = cell (m, n);
    case 'struct'
      value = repmat (struct (), m, n);
    case 'char'
      value = repmat (char (0), m, n);
    case 'logical'
      value = false (m, n);
    otherwise
      value = zeros (m, n, name);
  end
  if (any (strcmp (flags, 'sparse')))
    value = sparse (value);
  end
  if (any (strcmp (flags, 'complex')))
    value = complex (value);
  end
end

% Runs a case; one that raises goes through call_watching_slot, which tells whether the output
% existed when the error came.
function problems = run_case (c)
  global slot_filled_at_error
  problems = {};
  args = c.inputs;
  fn = c.function;
  if (c.raises)
    args = [{which(fn)}, args];
    fn = 'call_watching_slot';
  end
  outs = cell (1, max (c.nlhs, 1));
  slot_filled_at_error = [];
  clear ans err;
  if (c.nlhs == 0)
    printed = evalc ('try, feval (fn, args{:}); catch err, end');
    if (exist ('ans', 'var'))
      outs{1} = ans;
    end
  else
    printed = evalc ('try, [outs{1:c.nlhs}] = feval (fn, args{:}); catch err, end');
  end
  if (! strcmp (printed, c.output))
    problems{end+1} = sprintf ("printed:\n%sexpected:\n%s", printed, c.output);
  end
  raised = exist ('err', 'var');
  if (raised && ! c.raises)
    problems{end+1} = sprintf ('raised %s %s', err.identifier, err.message);
  elseif (! raised && c.raises)
    problems{end+1} = ['returned instead of raising ', c.identifier];
  elseif (raised)
    message = regexprep (err.message, ['^', fn, ': '], '', 'once');
    if (! strcmp (err.identifier, c.identifier) || ! strcmp (message, c.message))
      problems{end+1} = sprintf ('raised %s %s, expected %s %s', err.identifier, message, c.identifier, c.message);
    end
    if (isempty (slot_filled_at_error))
      problems{end+1} = 'the error came before the plug-in was called';
    elseif (slot_filled_at_error && ! c.afterOutput)
      problems{end+1} = 'output created before the error';
    elseif (! slot_filled_at_error && c.afterOutput)
      problems{end+1} = 'no output created before the error';
    end
  else
    problems = [problems, compare_result(c, outs{1})];
  end
end

function problems = compare_result (c, S)
  problems = {};
  if (! issparse (S))
    problems{end+1} = 'returned no sparse matrix';
    return;
  end
  [jc, ir, pr, room] = sparse_parts (S);
  if (c.nzmax >= 0 && room != c.nzmax)
    problems{end+1} = sprintf ('nzmax %d, expected %d', room, c.nzmax);
  end
  if (c.stored >= 0 && jc(end) != c.stored)
    problems{end+1} = sprintf ('stored %d, expected %d', jc(end), c.stored);
  end
  r = c.result;
  if (! isempty (r))
    if (rows (S) != r.m || columns (S) != r.n)
      problems{end+1} = sprintf ('size %dx%d, expected %dx%d', rows (S), columns (S), r.m, r.n);
    end
    if (! isequal (jc, r.jc) || ! isequal (ir, r.ir) || ! isequaln (pr, r.pr))
      problems{end+1} = sprintf ('result jc [%s] ir [%s] pr [%s]', num2str (jc), num2str (ir), num2str (pr, 17));
    end
  end
end
