% cases = read_cases (path)
%   Reads the gateway cases of a case file (format in tests/cases/README.md) into a cell array of
%   structs. Each input is a function that builds it, so that a case is built only when it runs;
%   ELEMENTS tells how large its inputs and its result are.
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
                    'nlhs', 1, 'inputs', {{}}, 'elements', 0, 'output', '', 'raises', false, ...
                    'identifier', '', 'message', '', 'result', [], 'stored', -1, 'nzmax', -1, ...
                    'afterOutput', false, 'values', []);
      case 'call'
        words = strsplit (strtrim (rest));
        c.function = words{1};
        c.nlhs = str2double (words{2});
      case 'in'
        c.inputs{end+1} = @() build_input (rest);
        c.elements += input_elements (rest);
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
      case 'values'
        parts = strsplit (rest, '|');
        size = numbers (parts{1});
        c.values = reshape (numbers (parts{2}), size(1), size(2));
        c.elements += numel (c.values);
      case 'stored'
        c.stored = str2double (rest);
        c.elements += c.stored;
      case 'nzmax'
        c.nzmax = str2double (rest);
        c.elements += c.nzmax;
      case 'after-output'
        c.afterOutput = true;
      case 'end'
        cases{end+1} = c;
      otherwise
        error ('read_cases:format', '%s:%d: unknown keyword %s', path, number, keyword);
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
    case 'sparselogical'
      value = logical (sparse_from_parts (sizes(1), sizes(2), numbers (parts{2}), numbers (parts{3}), numbers (parts{4})));
    case 'identity'
      value = sparse (1:sizes(1), 1:sizes(1), sizes(2), sizes(1), sizes(1));
    case 'column'
      value = (sizes(1):sizes(2))';
    case 'class'
      value = of_class (words{2}, str2double (words{3}), str2double (words{4}), words(5:end));
    case 'text'
      value = strjoin (words(2:end), ' ');
    case 'random'
      value = random_sparse (words(2:end));
    otherwise
      error ('read_cases:format', 'unknown input kind %s', kind);
  end
end

function value = of_class (name, m, n, flags)
  pages = find (strcmp (flags, 'pages'));
  if (isempty (pages))
    pages = 1;
  else
    pages = str2double (flags{pages + 1});
  end
  switch (name)
    case 'cell'
      value = cell (m, n, pages);
    case 'struct'
      value = repmat (struct (), m, n, pages);
    case 'char'
      value = repmat (char (0), m, n, pages);
    case 'logical'
      value = false (m, n, pages);
    otherwise
      value = zeros (m, n, pages, name);
  end
  if (any (strcmp (flags, 'sparse')))
    value = sparse (value);
  end
  if (any (strcmp (flags, 'complex')))
    value = complex (value);
  end
end

% The matrix of ones of "random <m> <n> <density> <seed> [symmetric] [logical]": entry (i, j), in
% column-major order, is stored where the next number of the Park-Miller generator from SEED is
% below DENSITY; when symmetric, only i < j draw, each stored at (i, j) and (j, i). The C++ runner
% (tests/runner/cases.cpp) draws the same numbers one by one; here they come a block at a time.
function value = random_sparse (words)
  m = str2double (words{1});
  n = str2double (words{2});
  density = numbers (words{3});
  seed = str2double (words{4});
  flags = words(5:end);
  if (any (strcmp (flags, 'symmetric')))
    kept = kept_draws (n * (n - 1) / 2, density, seed);
    % Draw t is the pair i < j with t = j (j - 1) / 2 + i, the upper triangle in column-major order.
    j = floor ((1 + sqrt (1 + 8 * kept)) / 2);
    j = j - (j .* (j - 1) / 2 > kept) + ((j + 1) .* j / 2 <= kept);
    i = kept - j .* (j - 1) / 2;
    value = sparse ([i; j] + 1, [j; i] + 1, 1, n, n);
  else
    kept = kept_draws (m * n, density, seed);
    value = sparse (mod (kept, m) + 1, floor (kept / m) + 1, 1, m, n);
  end
  if (any (strcmp (flags, 'logical')))
    value = logical (value);
  end
end

% The positions, from 0, of the draws among the first COUNT whose number x / 2147483647 is below
% DENSITY, x running through x <- 16807 x mod 2147483647 from SEED.
function kept = kept_draws (count, density, seed)
  block = min (count, 65536);
  powers = park_miller_powers (block);
  kept = zeros (0, 1);
  x = seed;
  for first = 0:block:count-1
    xs = times_mod (powers(1:min (block, count - first)), x);
    kept = [kept; first + find(xs / 2147483647 < density) - 1];
    x = xs(end);
  end
end

% 16807^k mod 2147483647 for k = 1 to COUNT, as a column, doubling the part known at each step.
function powers = park_miller_powers (count)
  powers = zeros (count, 1);
  powers(1:min (count, 1)) = 16807;
  known = 1;
  while (known < count)
    step = min (known, count - known);
    powers(known+1:known+step) = times_mod (powers(1:step), powers(known));
    known += step;
  end
end

% P .* X mod 2147483647 exactly, for whole numbers below 2^31: X split into 15 and 16 bits keeps
% every product and sum below 2^48, where doubles are exact.
function r = times_mod (p, x)
  high = floor (x / 65536);
  low = x - high * 65536;
  r = mod (mod (p .* high, 2147483647) * 65536 + p .* low, 2147483647);
end

% About how many elements and column starts an input holds, from its text alone.
function count = input_elements (rest)
  parts = strsplit (rest, '|');
  words = strsplit (strtrim (parts{1}));
  sizes = str2double (words(2:end));
  switch (words{1})
    case {'sparse', 'sparselogical'}
      count = sizes(2) + 1 + numel (numbers (parts{4}));
    case {'full', 'logical'}
      count = prod (sizes(1:2));
    case 'identity'
      count = 2 * sizes(1);
    case 'column'
      count = sizes(2) - sizes(1) + 1;
    case 'class'
      count = str2double (words{3}) * str2double (words{4});
    case 'random'
      count = sizes(2) + 1 + sizes(1) * sizes(2) * numbers (words{4});
    otherwise
      count = 1;
  end
end
