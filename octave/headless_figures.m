% headless_figures ()
%   Sets Octave up to draw figures without a display: the gnuplot toolkit draws them (Debian
%   gnuplot-nox), in Octave's own font, FreeSans (Debian fonts-freefont-otf).
function headless_figures ()
  graphics_toolkit ('gnuplot');
end
