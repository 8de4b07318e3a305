% karate_demo (outdir)
%   The plug-ins at work on Zachary's karate club; figures go to OUTDIR as PNG files, drawn
%   without a display by Octave's gnuplot toolkit (Debian gnuplot-nox).
%   Run from the repository with the built plug-ins on the path:
%     octave-cli --eval "addpath('build/octave', 'octave'); karate_demo('build/demo')"
function karate_demo (outdir)
  if (nargin < 1)
    outdir = 'demo-output';
  end
  % Another Octave may be making the same parent folder at the same moment (the tests run the
  % demo twice at once): what counts is that the folder exists afterwards.
  [~, message] = mkdir (outdir);
  if (! exist (outdir, 'dir'))
    error ("karate_demo: cannot make the folder %s: %s", outdir, message);
  end
  here = fileparts (mfilename ('fullpath'));
  net = load_karate (fullfile (here, '..', 'data'));
  printf ("Zachary's karate club: %d members, %d friendships, factions of %d and %d\n", ...
          net.n, nnz (net.G) / 2, sum (net.faction == 1), sum (net.faction == 2));
  % Figures are drawn without a display: gnuplot draws them, Octave only measures their text.
  warning ('off', 'Octave:gnuplot-graphics', 'local');
  warning ('off', 'print:nogs', 'local');
  headless_figures ();
  demo_merge (net, outdir);
  demo_similarity (net, outdir);
  demo_attributes (net);
  demo_normalise (net, outdir);
  demo_neighbours (net);
  demo_most_similar (net, outdir);
  demo_directed ();
end
