% -*- texinfo -*-
% @deftypefn  {} {[@var{g}, @var{gd}] =} biorthofilter (@var{name})
% @deftypefnx {} {[@var{g}, @var{gd}] =} biorthofilter (@var{family}, @var{m}, @var{md})
% Symmetric biorthogonal lowpass pair for @code{Morrowel} and @code{Unmorrowel}.
%
% @var{g} is the primary (analysis) lowpass filter with @var{m} taps and
% @var{gd} the dual (synthesis) lowpass filter with @var{md} taps; both are
% rows of odd length, symmetric about their centre tap, which is the tap
% that meets the sample a coefficient belongs to.  The pairs of family
% @code{"cdf"}:
% @table @code
% @item 5, 3
% the spline pair @code{g = [-1 2 6 2 -1] / 8}, @code{gd = [1 2 1] / 2}
% @item 9, 7
% the 9/7 pair: both filters have four zeros at z = -1; the dual takes the
% real zero pair of the degree-3 half-band factor, the primary its two
% complex pairs
% @end table
%
% The normalisation is @code{sum (g) = 1}, @code{sum (gd) = 2}, under which
% @code{Unmorrowel (Morrowel (x, L, g, gd), L, g, gd)} returns @math{x}.
%
% The short names @code{"bior2.2"} and @code{"bior4.4"} give the 5/3 and
% the 9/7 pair.  In PyWavelets' normalisation (both filters summing to
% @code{sqrt (2)}) the same pairs are @code{dec_lo = g * sqrt (2)} and
% @code{rec_lo = gd / sqrt (2)}, without its zero padding.
%
% Example:
% @example
% [g, gd] = biorthofilter ("cdf", 5, 3)
%   @result{} g = -0.1250   0.2500   0.7500   0.2500  -0.1250
%      gd =  0.5000   1.0000   0.5000
% w = Morrowel ([1 2 3 4], 1, g, gd)
%   @result{} 1.5000   3.5000        0   2.0000
% @end example
% @seealso{orthofilter, Morrowel, Unmorrowel}
% @end deftypefn

function [g, gd] = biorthofilter (family, m, md)
  known = 'known pairs: bior2.2 (cdf 5, 3) and bior4.4 (cdf 9, 7)';
  if (nargin == 1 && ischar (family) && any (strcmpi (family, {'bior2.2', 'bior4.4'})))
    m = 5 + 4 * strcmpi (family, 'bior4.4');
    md = m - 2;
    family = 'cdf';
  elseif (nargin == 1)
    error ('wavetide:biorthofilter:unknownName', 'biorthofilter: unknown filter name ''%s''; %s', num2str (family), known);
  elseif (nargin ~= 3)
    error ('wavetide:biorthofilter:usage', 'biorthofilter: call as [g, gd] = biorthofilter (name) or [g, gd] = biorthofilter (family, m, md)');
  end
  if (~ ischar (family) || ~ isrow (family))
    error ('wavetide:biorthofilter:badFamily', 'biorthofilter: FAMILY must be a string; %s', known);
  end
  if (~ strcmpi (family, 'cdf'))
    error ('wavetide:biorthofilter:unknownFamily', 'biorthofilter: unknown family ''%s''; %s', family, known);
  end
  if (~ isnumeric (m) || ~ isscalar (m) || ~ isnumeric (md) || ~ isscalar (md))
    error ('wavetide:biorthofilter:badLength', 'biorthofilter: the lengths must be numbers; %s', known);
  end
  if (m == 5 && md == 3)
    g = [-1 2 6 2 -1] / 8;
    gd = [1 2 1] / 2;
  elseif (m == 9 && md == 7)
    % Half-band factor of four vanishing moments, P(y) = 1 + 4y + 10y^2 + 20y^3
    % with y = (2 - z - 1/z) / 4; each zero y gives the zeros z, 1/z.
    y = roots ([20 10 4 1]);
    [~, r] = min (abs (imag (y)));
    zd = zeros_of (y(r));
    zp = [zeros_of(y(mod (r, 3) + 1)), zeros_of(y(mod (r + 1, 3) + 1))];
    g = real (poly ([-ones(1, 4), zp]));
    gd = real (poly ([-ones(1, 4), zd]));
    g = g / (sum (g));
    gd = gd * (2 / sum (gd));
    g = (g + fliplr (g)) / 2;      % symmetric up to rounding: make it exact
    gd = (gd + fliplr (gd)) / 2;
  else
    error ('wavetide:biorthofilter:unknownLength', 'biorthofilter: no cdf pair with %g and %g taps; %s', m, md, known);
  end
end

function z = zeros_of (y)
  z = roots ([1, -(2 - 4 * y), 1]).';
end

%!test # the 5/3 pair as the worked example states it
%! [g, gd] = biorthofilter ("cdf", 5, 3);
%! assert (g, [-1/8 1/4 3/4 1/4 -1/8]);
%! assert (gd, [1/2 1 1/2]);

%!test # 9/7: symmetric, four zeros at -1 each, known centre taps
%! [g, gd] = biorthofilter ("cdf", 9, 7);
%! assert (size (g), [1 9]);
%! assert (size (gd), [1 7]);
%! assert (g, fliplr (g));
%! assert (gd, fliplr (gd));
%! for p = 0:3   # sum (-1)^k k^p f(k) = 0 is a zero of order 4 at z = -1
%!   assert (sum ((-1) .^ (0:8) .* (0:8) .^ p .* g), 0, 1e-12);
%!   assert (sum ((-1) .^ (0:6) .* (0:6) .^ p .* gd), 0, 1e-12);
%! end
%! ## the centre taps of the published pair (sums sqrt 2): 0.8526986790, 0.7884856164
%! assert (g(5) * sqrt (2), 0.852698679009, 1e-11);
%! assert (gd(4) / sqrt (2), 0.788485616406, 1e-11);

%!test # perfect reconstruction: the product filter is half-band
%! for pair = {[5 3], [9 7]}
%!   [g, gd] = biorthofilter ("cdf", pair{1}(1), pair{1}(2));
%!   p = conv (g, gd);
%!   c = (numel (p) + 1) / 2;
%!   assert (p(c), 1, 1e-14);
%!   assert (p(c+2:2:end), zeros (1, numel (c+2:2:numel (p))), 1e-14);
%! end

%!test # the help example and the round trip through Morrowel and Unmorrowel
%! [g, gd] = biorthofilter ("cdf", 5, 3);
%! assert (Morrowel ([1 2 3 4], 1, g, gd), [1.5 3.5 0 2], 1e-15);
%! for pair = {[5 3], [9 7]}
%!   [g, gd] = biorthofilter ("cdf", pair{1}(1), pair{1}(2));
%!   for x = {randn(1, 64), randn(32, 3)}
%!     for L = 0:5
%!       assert (Unmorrowel (Morrowel (x{1}, L, g, gd), L, g, gd), x{1}, 1e-12);
%!     end
%!   end
%! end

%!test # the short names
%! [g, gd] = biorthofilter ("bior2.2");
%! assert ({g, gd}, nthargout (1:2, @biorthofilter, "cdf", 5, 3));
%! [g, gd] = biorthofilter ("BIOR4.4");
%! assert ({g, gd}, nthargout (1:2, @biorthofilter, "cdf", 9, 7));

%!testif ; ! system ("/usr/bin/python3 -c 'import pywt' 2>/dev/null")
%! ## PyWavelets' pairs of the same names, in its normalisation
%! [st, out] = system (["/usr/bin/python3 -c \"import pywt\nfor n in ['bior2.2', 'bior4.4']:\n" ...
%!                      " w = pywt.Wavelet(n); print(' '.join('%.17g' % v for v in w.dec_lo)); print(' '.join('%.17g' % v for v in w.rec_lo))\""]);
%! assert (st, 0);
%! lines = strsplit (strtrim (out), "\n");
%! for k = 1:2
%!   [g, gd] = biorthofilter (sprintf ("bior%d.%d", 2 * k, 2 * k));
%!   dec = str2num (lines{2 * k - 1}); rec = str2num (lines{2 * k});
%!   assert (dec(dec != 0), g * sqrt (2), 1e-12);
%!   assert (rec(rec != 0), gd / sqrt (2), 1e-12);
%! end

%!test # failures carry an identifier
%! for c = {{{"bior3.3"}, "unknownName"}, {{"db", 5, 3}, "unknownFamily"}, ...
%!          {{"cdf", 7, 5}, "unknownLength"}, {{"cdf", 5}, "usage"}}
%!   err.identifier = "";
%!   try
%!     [g, gd] = biorthofilter (c{1}{1}{:});
%!   catch err
%!   end
%!   assert (err.identifier, ["wavetide:biorthofilter:" c{1}{2}]);
%! end
%!error <unknown family 'db'; known pairs: bior2.2 \(cdf 5, 3\) and bior4.4 \(cdf 9, 7\)> [g, gd] = biorthofilter ("db", 5, 3)
%!error <unknown filter name 'bior3.3'; known pairs: bior2.2> [g, gd] = biorthofilter ("bior3.3")
%!error <no cdf pair with 7 and 5 taps> [g, gd] = biorthofilter ("cdf", 7, 5)
%!error <biorthofilter: call as> [g, gd] = biorthofilter ("cdf", 5)
%!error <biorthofilter: call as> [g, gd] = biorthofilter ()
