% post_install (desc)
%   Run by pkg install once the package is in place: puts a copy of each help stub beside its
%   plug-in, since help reads a plug-in's text from the .m file in the plug-in's own folder and
%   pkg keeps plug-ins apart from the other files.
function post_install (desc)
  roots = {desc.dir};
  if (isfield (desc, 'archprefix'))
    roots{end+1} = desc.archprefix;
  end
  for r = 1:numel (roots)
    plugins = dir (fullfile (roots{r}, '*', '*.mex'));
    for k = 1:numel (plugins)
      [~, name] = fileparts (plugins(k).name);
      stub = fullfile (desc.dir, [name, '.m']);
      if (exist (stub, 'file'))
        copyfile (stub, plugins(k).folder);
      end
    end
  end
end
