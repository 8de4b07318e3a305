% [problems, outcome] = run_case (c)
%   Runs a case read by read_cases against the plug-in on Octave's path and returns a description
%   of every difference, and what the call did: OUTCOME holds the printed text, the error raised
%   and the returned sparse matrix's parts, for comparing runs. A case that raises goes through
%   call_watching_slot, which tells whether the output existed when the error came.
function [problems, outcome] = run_case (c)
  global slot_filled_at_error
  problems = {};
  args = cellfun (@(make) make (), c.inputs, 'UniformOutput', false);
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
  outcome = struct ('printed', printed, 'raised', raised, 'identifier', '', 'message', '', 'parts', {{}});
  if (raised)
    outcome.identifier = err.identifier;
    outcome.message = err.message;
  elseif (issparse (outs{1}))
    [jc, ir, pr, room] = sparse_parts (outs{1});
    outcome.parts = {size(outs{1}), jc, ir, typecast(pr(:), 'uint64'), room};
  elseif (isa (outs{1}, 'double'))
    outcome.parts = {size(outs{1}), typecast(outs{1}(:), 'uint64')};
  end
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
  if (! isempty (c.values))
    if (issparse (S) || ! isa (S, 'double') || ! isequal (size (S), size (c.values)) || ! isequaln (S, c.values))
      problems{end+1} = sprintf ('values %s, expected %s', mat2str (S, 17), mat2str (c.values, 17));
    end
    return;
  end
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
