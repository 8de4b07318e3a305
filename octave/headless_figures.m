% fonts = headless_figures ()
%   Sets Octave up to draw figures without a display, with the gnuplot toolkit, and gives it a
%   font to measure text in. Octave's default font is FreeSans, from fonts-freefont-otf, which
%   Debian's octave only recommends; without it no axes can be made. DejaVu Sans
%   (fonts-dejavu-core) stands in for it under FreeSans's names, linked from the new folder FONTS,
%   which the caller removes when done; FONTS is "" when DejaVu Sans is not installed.
function fonts = headless_figures ()
  graphics_toolkit ('gnuplot');
  fonts = '';
  dejavu = '/usr/share/fonts/truetype/dejavu';
  if (! exist (fullfile (dejavu, 'DejaVuSans.ttf'), 'file'))
    return;
  end
  fonts = tempname ();
  mkdir (fonts);
  % Octave's name for each style, and the file of DejaVu Sans that stands in for it.
  styles = {'FreeSans', 'DejaVuSans'; 'FreeSansBold', 'DejaVuSans-Bold'; ...
            'FreeSansOblique', 'DejaVuSans'; 'FreeSansBoldOblique', 'DejaVuSans-Bold'};
  for k = 1:rows (styles)
    symlink (fullfile (dejavu, [styles{k, 2} '.ttf']), fullfile (fonts, [styles{k, 1} '.otf']));
  end
  setenv ('OCTAVE_FONTS_DIR', fonts);
end
