% save_heatmap (S, path, boundary)
%   Saves the values of the sparse matrix S as a PNG heat map (dark = 0, bright = the largest
%   value), each entry a square of pixels, with a grey line after row and column BOUNDARY.
%   Needs no display: the picture is written with imwrite.
function save_heatmap (S, path, boundary)
  cell = 12;
  values = full (S);
  top = max (values(:));
  if (top > 0)
    values /= top;
  end
  index = 1 + round (values * 255);
  map = hot (256);
  picture = ind2rgb (kron (index, ones (cell)), map);
  if (nargin > 2 && boundary > 0)
    edge = boundary * cell;
    picture(edge, :, :) = 0.5;
    picture(:, edge, :) = 0.5;
  end
  imwrite (picture, path);
end
