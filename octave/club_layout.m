% xy = club_layout (G, faction)
% xy = club_layout (G, faction, start)
%   Places the members of the club with friendship matrix G in the plane, one row of XY per
%   member: from a circle, faction by faction in the order of their numbers (or from the
%   positions START), pulled along their friendships and pushed apart from each other in 300
%   shrinking steps, then moved apart until no two are closer than 0.3. Only element-wise
%   arithmetic and Octave's own sums and square roots go into it (no eig, no dense products,
%   which round differently in each BLAS and LAPACK), so it gives the same positions to the last
%   bit whatever library Octave loads.
function xy = club_layout (G, faction, start)
  if (nargin < 3)
    start = circle_start (faction);
  end
  xy = pull_and_push (start, full (G) != 0, 0.46, 300);
  xy = keep_apart (xy, 0.3);
end

% The members on the unit circle, faction 1 then faction 2, each in the order of member
% numbers: the first half from the top down the left side, the second half from the bottom up
% the right side. Points of the circle from rational arithmetic, (1 - t^2, 2 t) / (1 + t^2), as
% sine and cosine may round differently from one processor's maths library to another's.
function xy = circle_start (faction)
  n = numel (faction);
  [~, order] = sortrows ([faction(:), (1:n)']);
  place = ((1:n)' - 0.5) / n;
  secondHalf = place >= 0.5;
  t = 4 * place - 1 - 2 * secondHalf;
  xy = [(1 - t .* t), 2 * t] ./ (1 + t .* t);
  xy(! secondHalf, :) = -xy(! secondHalf, :);
  xy(order, :) = xy;
end

% XY moved STEPS times by the forces between members (adjacent where friends), each move at
% most a step length that shrinks from 0.052 to 0.002.
function xy = pull_and_push (xy, adjacent, spacing, steps)
  for step = 1:steps
    move = layout_forces (xy, adjacent, spacing);
    stride = sqrt (sum (move .* move, 2));
    limit = 0.05 * (1 - step / steps) + 0.002;
    xy += move .* (min (stride, limit) ./ max (stride, realmin));
  end
end

% The force on each member: pushed away from every other member by spacing^2 / distance and
% pulled toward each friend by distance^2 / spacing.
function move = layout_forces (xy, adjacent, spacing)
  [apart, distance] = offsets (xy, spacing / 100);
  pull = (spacing * spacing) ./ (distance .* distance) - adjacent .* distance / spacing;
  move = squeeze (sum (apart .* pull, 2));
end

% XY with members closer than GAP moved apart along the line between them, half the shortfall
% each, 100 times over.
function xy = keep_apart (xy, gap)
  n = rows (xy);
  for pass = 1:100
    [apart, distance] = offsets (xy, gap / 100);
    shortfall = max (gap - distance, 0) .* ! eye (n);
    xy += squeeze (sum (apart .* (shortfall ./ distance / 2), 2));
  end
end

% The offset of each member from each other, apart(i, j, :) = xy(i, :) - xy(j, :), and their
% distance, never below CLOSEST. Two members at the very same spot get an offset of about
% CLOSEST in a direction fixed by their numbers (i - j, opposite for j - i), so no distance is
% ever 0 and no direction is left to chance.
function [apart, distance] = offsets (xy, closest)
  n = rows (xy);
  apart = permute (xy, [1 3 2]) - permute (xy, [3 1 2]);
  distance = sqrt (sum (apart .* apart, 3));
  together = distance == 0 & ! eye (n);
  numbers = (1:n)' - (1:n);
  apart(:, :, 1) += together .* sign (numbers) * closest;
  apart(:, :, 2) += together .* numbers / n * closest;
  distance = max (distance, closest);
end
