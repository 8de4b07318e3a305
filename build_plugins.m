function build_plugins (outdir)
% build_plugins (outdir)
%   Compiles every plug-in of this repository with the mex command and puts each one, with a copy
%   of its help stub, in OUTDIR (default: the folder 'mex' beside this file). Then
%     addpath (outdir)
%   and call the functions; 'help corvane' shows each one's usage.
%
%   MATLAB: uses the R2017b array interface with 64-bit indices (-R2017b, or -largeArrayDims
%   before R2018a) and needs a C++ compiler that 'mex -setup C++' has chosen. On Windows the
%   plug-ins take their Windows function names (Corvane, Tessaly5, Tessaly, Vostrel).
%   GNU Octave: the same call compiles them with Octave's mex (mkoctfile --mex).
%
%   A new module is one more row of the table below: its word, its Windows function name ('' when
%   that is the word), its help stub and its sources, paths relative to this file.

  root = fileparts (mfilename ('fullpath'));
  if nargin < 1
    outdir = fullfile (root, 'mex');
  end

  % The pass and gateway steps the three attribute-similarity modules share.
  similarity = {'similarity/attribute_pass.cpp', 'similarity/similarity_gateway.cpp'};
  modules = {
  % word        Windows name  help stub            sources: kernel, gateway
    'corvane',   'Corvane',  'merge/corvane.m',        {'merge/corvane.cpp', 'merge/corvane_mex.cpp'}
    'tessaly5',  'Tessaly5', 'similarity/tessaly5.m',  {'similarity/tessaly5.cpp', 'similarity/tessaly5_mex.cpp', similarity{:}}
    'tessaly5b', '',         'similarity/tessaly5b.m', {'similarity/tessaly5.cpp', 'similarity/tessaly5b_mex.cpp', similarity{:}}
    'tessaly5a', '',         'similarity/tessaly5a.m', {'similarity/tessaly5a.cpp', 'similarity/tessaly5a_mex.cpp', similarity{:}}
    'tessaly',   'Tessaly',  'normalise/tessaly.m',    {'normalise/tessaly.cpp', 'normalise/tessaly_mex.cpp'}
    'Vostrel',   'Vostrel',  'normalise/Vostrel.m',    {'normalise/divide_by_min_degree.cpp', 'normalise/Vostrel_mex.cpp'}
  };
  frame = {'frame/gateway.cpp', 'frame/progress.cpp'};

  if ~exist (outdir, 'dir')
    mkdir (outdir);
  end
  inOctave = exist ('OCTAVE_VERSION', 'builtin') ~= 0;
  if inOctave
    % mkoctfile takes compiler options only from CXXFLAGS: no fused multiply-add, as in every build.
    flags = getenv ('CXXFLAGS');
    setenv ('CXXFLAGS', [strtrim(mkoctfile('-p', 'CXXFLAGS')), ' -ffp-contract=off']);
    restoreFlags = onCleanup (@() setenv ('CXXFLAGS', flags));
  end
  for k = 1:size (modules, 1)
    name = modules{k, 1};
    if ispc && ~isempty (modules{k, 2})
      name = modules{k, 2};
    end
    sources = cellfun (@(file) fullfile (root, file), [modules{k, 4}, frame], 'UniformOutput', false);
    fprintf ('building %s\n', name);
    if inOctave
      mex ('-DHOST_OCTAVE', ['-I', root], '-o', fullfile (outdir, name), sources{:});
    else
      mex (largeIndexOption (), '-DHOST_MATLAB', ['-I', root], '-outdir', outdir, '-output', name, sources{:});
    end
    copyfile (fullfile (root, modules{k, 3}), fullfile (outdir, [name, '.m']));
  end
end

% The mex option for 64-bit sizes and indices: -R2017b from MATLAB R2018a on, -largeArrayDims before.
function option = largeIndexOption ()
  if verLessThan ('matlab', '9.4')
    option = '-largeArrayDims';
  else
    option = '-R2017b';
  end
end
