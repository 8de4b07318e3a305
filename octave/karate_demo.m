% karate_demo (outdir)
%   The plug-ins at work on Zachary's karate club; pictures go to OUTDIR.
%   Run from the repository with the built plug-ins on the path:
%     octave-cli --eval "addpath('build/octave', 'octave'); karate_demo('build/demo')"
function karate_demo (outdir)
  if (nargin < 1)
    outdir = 'demo-output';
  end
  if (! exist (outdir, 'dir'))
    mkdir (outdir);
  end
  here = fileparts (mfilename ('fullpath'));
  net = load_karate (fullfile (here, '..', 'data'));
  printf ("Zachary's karate club: %d members, %d friendships, factions of %d and %d\n", ...
          net.n, nnz (net.G) / 2, sum (net.faction == 1), sum (net.faction == 2));
  demo_merge (net, outdir);
  demo_similarity (net, outdir);
  demo_normalise (net, outdir);
  demo_neighbours (net);
end
