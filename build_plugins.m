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
%   The modules, their sources and their Windows names come from modules.txt beside this file.

  root = fileparts (mfilename ('fullpath'));
  if nargin < 1
    outdir = fullfile (root, 'mex');
  end
  modules = readModuleTable (fullfile (root, 'modules.txt'));
  frame = modules(strcmp ({modules.word}, 'frame'));
  modules = modules(~strcmp ({modules.word}, 'frame'));

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
  for k = 1:numel (modules)
    name = modules(k).word;
    if ispc && ~isempty (modules(k).mexw64)
      name = modules(k).mexw64;
    end
    sources = [sourcePaths(root, modules(k)), sourcePaths(root, frame)];
    fprintf ('building %s\n', name);
    if inOctave
      mex ('-DHOST_OCTAVE', ['-I', root], '-o', fullfile (outdir, name), sources{:});
    else
      mex (largeIndexOption (), '-DHOST_MATLAB', ['-I', root], '-outdir', outdir, '-output', name, sources{:});
    end
    copyfile (fullfile (root, modules(k).folder, [modules(k).word, '.m']), fullfile (outdir, [name, '.m']));
  end
end

% The rows of the module table as a struct array, one field per column of its heading; a cell of
% '-' reads as empty.
function modules = readModuleTable (path)
  lines = strsplit (fileread (path), char (10));
  modules = struct ([]);
  for k = 1:numel (lines)
    line = strtrim (lines{k});
    if ~isempty (regexp (line, '^# *word *\|', 'once'))
      columns = strtrim (strsplit (regexprep (line, '^# *', ''), '|'));
    elseif ~isempty (line) && line(1) ~= '#'
      cells = strtrim (strsplit (line, '|'));
      cells(strcmp (cells, '-')) = {''};
      modules = [modules, cell2struct(cells(:), columns(:), 1)];
    end
  end
end

% The full paths of a row's sources.
function paths = sourcePaths (root, module)
  names = strsplit (module.sources, ' ');
  paths = cellfun (@(name) fullfile (root, module.folder, name), names, 'UniformOutput', false);
end

% The mex option for 64-bit sizes and indices: -R2017b from MATLAB R2018a on, -largeArrayDims before.
function option = largeIndexOption ()
  if verLessThan ('matlab', '9.4')
    option = '-largeArrayDims';
  else
    option = '-R2017b';
  end
end
