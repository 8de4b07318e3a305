% ok = demo_test (outdir, blas)
%   Runs the karate club demo into OUTDIR and checks what it draws: its five figures are
%   written; in each of the two drawings of the club every member has a finite position and no
%   two members' discs overlap; the layout started with every member at the same spot still comes out finite
%   and spread. When BLAS is given, the BLAS that Octave loaded must name it (say 'OpenBLAS').
%   Writes the drawn positions, "x y" at full precision one member a line in the order drawn, to
%   OUTDIR/karate_layout.txt, for runs on other libraries to be compared with. Prints what
%   fails; OK is true when nothing did.
function ok = demo_test (outdir, blas)
  printf ("BLAS: %s; LAPACK: %s\n", version ('-blas'), version ('-lapack'));
  ok = nargin < 2 || check (! isempty (strfind (version ('-blas'), blas)), ...
                            "Octave loaded another BLAS than %s", blas);
  drawings = {'karate_network.png', 'karate_most_similar.png'};
  figures = [{'karate_merge.png', 'karate_similarity.png', 'karate_normalise.png'}, drawings];
  forget_output (outdir, [figures, {'karate_layout.txt'}]);
  drawn = run_demo_watching_members (outdir);
  for k = 1:numel (figures)
    ok = check (exist (fullfile (outdir, figures{k}), 'file') == 2, "%s was not written", figures{k}) && ok;
  end
  net = load_karate (fullfile (fileparts (which ('karate_demo')), '..', 'data'));
  ok = check (numel (drawn) == numel (drawings), "%d drawings of the club, not %d", numel (drawn), ...
              numel (drawings)) && ok;
  for k = 1:min (numel (drawn), numel (drawings))
    members = drawn(k);
    ok = check (rows (members.xy) == net.n, "%s: %d members drawn, not %d", drawings{k}, rows (members.xy), ...
                net.n) && ok;
    ok = check (all (isfinite (members.xy(:))), "%s: a member's position is not finite", drawings{k}) && ok;
    ok = check_discs_apart (members, fullfile (outdir, drawings{k})) && ok;
  end
  spread = club_layout (net.G, net.faction, zeros (net.n, 2));
  ok = check (all (isfinite (spread(:))) && closest_pair (spread) > 0.299, ...
              "from one spot the layout leaves members %g apart", closest_pair (spread)) && ok;
  file = fopen (fullfile (outdir, 'karate_layout.txt'), 'w');
  for members = drawn(1:min (1, end))
    fprintf (file, "%.17g %.17g\n", members.xy');
  end
  fclose (file);
end

% Runs karate_demo into OUTDIR and returns the members' discs of each drawing, in the order
% drawn: their centres XY, marker size, and the data limits, position and aspect ratio of their
% axes. They are read from the plotted lines of discs themselves, just before the figure's
% closing deletes them; a drawing is told from the one before by its title.
function members = run_demo_watching_members (outdir)
  setappdata (0, 'demo_test_members', struct ('title', {}, 'xy', {}, 'markersize', {}, 'limits', {}, ...
                                              'position', {}, 'aspect', {}));
  set (0, 'defaultlinedeletefcn', @remember_discs);
  unwind_protect
    karate_demo (outdir);
  unwind_protect_cleanup
    set (0, 'defaultlinedeletefcn', '');
  end_unwind_protect
  members = getappdata (0, 'demo_test_members');
end

% Adds the centres of LINE to those remembered when it draws discs ('o') in a plot, not in a
% legend, with its marker size and its axes' limits, position and aspect ratio; a line under
% another title than the last starts another drawing.
function remember_discs (line, ~)
  ax = ancestor (line, 'axes');
  if (! strcmp (get (line, 'marker'), 'o') || strcmp (get (ax, 'tag'), 'legend'))
    return;
  end
  members = getappdata (0, 'demo_test_members');
  heading = get (get (ax, 'title'), 'string');
  if (isempty (members) || ! strcmp (members(end).title, heading))
    members(end + 1).title = heading;
    members(end).xy = zeros (0, 2);
  end
  members(end).xy = [members(end).xy; get(line, 'xdata')(:), get(line, 'ydata')(:)];
  members(end).markersize = get (line, 'markersize');
  members(end).limits = [get(ax, 'xlim'); get(ax, 'ylim')];
  members(end).position = get (ax, 'position');
  members(end).aspect = get (ax, 'dataaspectratio');
  setappdata (0, 'demo_test_members', members);
end

% Checks that no two discs of MEMBERS, drawn into the PNG file PICTURE, overlap. Equal aspect
% fits the data limits into the axes' box at the scale of the tighter side, in pixels per data
% unit. Octave's gnuplot toolkit hands gnuplot a point size of markersize / 3, and gnuplot's
% PNG terminal (72 pixels an inch: a point is a pixel) draws that as a disc 2 * markersize
% pixels across, twice the nominal size, with a pixel of outline (markersize 8, 16 and 24 drew
% discs of 17, 33 and 49 pixels): so a 16-point disc is 33 pixels wide.
function ok = check_discs_apart (members, picture)
  ok = check (isequal (members.aspect, [1 1 1]), "the drawing's aspect ratio is %s", mat2str (members.aspect));
  image = imfinfo (picture);
  box = members.position(3:4) .* [image.Width, image.Height];
  scale = min (box' ./ diff (members.limits, 1, 2));
  width = (2 * members.markersize + 1) / scale;
  ok = check (closest_pair (members.xy) >= width, "two discs %g apart, closer than their width %g", ...
              closest_pair (members.xy), width) && ok;
end

% The smallest distance between two rows of XY.
function distance = closest_pair (xy)
  apart = permute (xy, [1 3 2]) - permute (xy, [3 1 2]);
  distances = sqrt (sum (apart .* apart, 3));
  distance = min (distances(! eye (rows (xy))));
end

% Deletes the FILES left in OUTDIR by an earlier run, so that only this run's can pass.
function forget_output (outdir, files)
  for k = 1:numel (files)
    if (exist (fullfile (outdir, files{k}), 'file'))
      delete (fullfile (outdir, files{k}));
    end
  end
end

% Prints FAIL and the message made from FORMAT and its arguments unless PASSED; returns PASSED.
function passed = check (passed, format, varargin)
  if (! passed)
    printf (["FAIL " format "\n"], varargin{:});
  end
end
