% -*- texinfo -*-
% @deftypefn  {} {@var{sigma} =} noiselevel (@var{w}, @var{L})
% @deftypefnx {} {@var{sigma} =} noiselevel (@var{W}, @var{L}, "2d")
% @deftypefnx {} {@var{sigma} =} noiselevel (@var{w}, @var{L}, "morrowel", @var{g}, @var{gd})
% Noise level of wavelet coefficients, from their finest details.
%
% @var{w} holds coefficients in the layout of @code{Jostrane} for the
% coarsest level @var{L}: a row of
% @math{n = 2^J} values, or a matrix whose columns are signals of
% @math{n} values each.  The finest details, level @math{J - 1}, are the
% second half of each signal, and
% @example
% sigma = median (abs (finest details)) / 0.6745
% @end example
% is the robust estimate of the standard deviation of white Gaussian noise
% (0.6745 is the median of @math{|N(0, 1)|}): a few large details of the
% signal itself hardly move it.  @var{sigma} has one value per signal.
% With @qcode{"2d"}, @var{W} is a square array in the layout of
% @code{Plattigan} and the finest diagonal details, rows and columns
% @math{n/2 + 1} .. @math{n}, give one @var{sigma}.  A square @var{W}
% without a layout is read as one signal per column, with the warning
% @code{wavetide:noiselevel:squareLayout}; @qcode{"1d"} asks for that
% reading without the warning.
%
% With @qcode{"morrowel"}, @var{w} is the transform
% @code{Morrowel (x, L, g, gd)} with the two filters given (or a name
% @code{biorthofilter} takes, @qcode{"bior4.4"}).  That transform is not
% orthonormal: white noise of deviation @var{sigma} gives finest details of
% deviation @code{sigma * noisegain (n, log2 (n) - 1, g, gd)}, 1.40 times
% @var{sigma} for @qcode{"bior4.4"}, and the estimate above is divided by
% that gain, so @var{sigma} is again the deviation of the noise in
% @math{x}.  Read without @qcode{"morrowel"}, the same coefficients give
% the deviation of the details instead.
%
% @var{L} is a whole number in 0 @dots{} @math{J - 1}: with
% @math{L = J} there are no details to measure.  A NaN among the finest
% details gives a NaN.
%
% Example:
% @example
% e = 0.1 * sqrt (2) * sin (1e4 * (1:1024) .^ 1.5);   # stands in for noise of sigma 0.1
% x = sin (2 * pi * (1:1024) / 1024) + e;
% sigma = noiselevel (Jostrane (x, 4, orthofilter ("db4")), 4)
%   @result{} 0.1109
% @end example
% @seealso{shrinkdetails, denoise, noisegain, Jostrane, Plattigan, Morrowel}
% @end deftypefn

function sigma = noiselevel (w, L, layout, g, gd)
  if (nargin < 2 || nargin > 5)
    error ('wavetide:noiselevel:usage', 'noiselevel: call as sigma = noiselevel (w, L), noiselevel (W, L, "2d") or noiselevel (w, L, "morrowel", g, gd)');
  end
  if (nargin < 3)
    layout = '1d';
  end
  if (~ isnumeric (w) || ~ isreal (w) || ndims (w) > 2)
    error ('wavetide:noiselevel:argumentClass', 'noiselevel requires real numeric coefficients');
  end
  if (~ ischar (layout))
    layout = '';
  end
  two_d = strcmpi (layout, '2d');
  biortho = strcmpi (layout, 'morrowel');
  if (~ two_d && ~ biortho && ~ strcmpi (layout, '1d'))
    error ('wavetide:noiselevel:unknownLayout', 'noiselevel: unknown layout; valid layouts: "1d", "2d", "morrowel"');
  end
  if (biortho ~= (nargin == 5 || (nargin == 4 && ischar (g))))
    error ('wavetide:noiselevel:usage', 'noiselevel: call as sigma = noiselevel (w, L), noiselevel (W, L, "2d") or noiselevel (w, L, "morrowel", g, gd)');
  end
  if (two_d && size (w, 1) ~= size (w, 2))
    error ('wavetide:noiselevel:notSquare', 'noiselevel requires a square array for the 2-D layout');
  end
  if (nargin < 3 && size (w, 1) == size (w, 2) && size (w, 1) > 1)
    warning ('wavetide:noiselevel:squareLayout', 'noiselevel: a square array is read as one signal per column; pass "2d" for the layout of Plattigan, or "1d" to silence this warning');
  end
  if (size (w, 1) == 1)
    w = w(:);
  end
  n = size (w, 1);
  J = round (log2 (n));
  if (n < 1 || 2 ^ J ~= n || isempty (w))
    error ('wavetide:noiselevel:dyadicLength', 'noiselevel requires dyadic length');
  end
  if (~ isnumeric (L) || ~ isscalar (L) || L ~= round (L) || L < 0 || L > J - 1)
    error ('wavetide:noiselevel:levelOutOfRange', 'noiselevel requires L to be a whole number in 0 ... log2(n) - 1');
  end
  if (two_d)
    d = w(n/2+1:n, n/2+1:n);
    sigma = median (abs (d(:))) / 0.6745;
  else
    sigma = median (abs (w(n/2+1:n, :)), 1) / 0.6745;
  end
  if (biortho)
    if (nargin == 4)
      gain = noisegain (n, J - 1, g);
    else
      gain = noisegain (n, J - 1, g, gd);
    end
    sigma = sigma / gain;
  end
end

%!test # the help example, columns as signals, and a row
%! randn ("state", 7);
%! h = orthofilter ("db4");
%! x = sin (2 * pi * (1:1024) / 1024) + 0.1 * randn (1, 1024);
%! assert (noiselevel (Jostrane (x, 4, h), 4), 0.1, 0.01);
%! X = [x.', 0.5 * x.', zeros(1024, 1)];
%! s = noiselevel (Jostrane (X, 0, h), 0);
%! assert (size (s), [1 3]);
%! assert (s, [1 0.5 0] * s(1), 1e-14);
%! assert (noiselevel ([0 0 3 -4], 1), 3.5 / 0.6745, 1e-14);

%!test # 2-D: the diagonal quadrant only
%! W = zeros (8); W(5:8, 5:8) = reshape (1:16, 4, 4); W(1:4, 5:8) = 1e6;
%! assert (noiselevel (W, 0, "2d"), 8.5 / 0.6745, 1e-14);
%! randn ("state", 3);
%! assert (noiselevel (Plattigan (0.2 * randn (256), 3, orthofilter ("sym8")), 3, "2d"), 0.2, 0.01);

%!test # Morrowel's layout: sigma of the noise in x, not of its details
%! ## 8192 finest details: the estimate's relative deviation is about
%! ## 1.2 / sqrt (8192) = 1.3 % for independent details; neighbours are
%! ## correlated here, so 4 % is some three deviations
%! randn ("state", 1);
%! e = randn (1, 2^14);
%! for pair = {"bior4.4", "bior2.2"}
%!   [g, gd] = biorthofilter (pair{1});
%!   for sigma = [1 0.3]
%!     w = Morrowel (sigma * e, 4, g, gd);
%!     assert (noiselevel (w, 4, "morrowel", g, gd), sigma, 0.04 * sigma);
%!     assert (noiselevel (w.', 4, "MORROWEL", pair{1}), noiselevel (w, 4, "morrowel", g, gd));
%!     assert (noiselevel (w, 4), sigma * norm (gd), 0.04 * sigma * norm (gd));   # 1.40, 1.22
%!   end
%! end

%!test # NaN propagates
%! assert (isnan (noiselevel ([1 2 NaN 4], 0)));
%! assert (noiselevel ([NaN 2 3 4], 0), 3.5 / 0.6745, 1e-14);

%!test # options in any case; a square array without a layout warns
%! W = magic (8);
%! assert (noiselevel (W, 1, "2D"), noiselevel (W, 1, "2d"));
%! assert (noiselevel (W(:, 1), 1, "1D"), noiselevel (W(:, 1), 1));
%! lastwarn ("");
%! noiselevel (W, 1, "1d"); noiselevel (W(:, 1:2), 1); noiselevel (W, 1, "2d");
%! [~, id] = lastwarn ();
%! assert (id, "");
%! warning ("error", "wavetide:noiselevel:squareLayout", "local");
%! err.identifier = "";
%! try
%!   noiselevel (W, 1);
%! catch err
%! end
%! assert (err.identifier, "wavetide:noiselevel:squareLayout");
%! assert (! isempty (strfind (err.message, 'pass "2d"')));
%!error <noiselevel requires dyadic length> noiselevel (1:6, 0)
%!error <noiselevel requires dyadic length> noiselevel ([], 0)
%!error <noiselevel requires L to be a whole number in 0 ... log2\(n\) - 1> noiselevel (1:8, 3)
%!error <noiselevel requires L to be a whole number> noiselevel (1:8, -1)
%!error <noiselevel requires L to be a whole number> noiselevel (1:8, 1.5)
%!error <noiselevel requires a square array> noiselevel (ones (8, 4), 0, "2d")
%!error <noiselevel: unknown layout; valid layouts: "1d", "2d", "morrowel"> noiselevel (ones (8, 4), 0, "3d")
%!error <noiselevel requires real numeric coefficients> noiselevel ({1}, 0)
%!error <noiselevel: call as> noiselevel (1:8)
%!error <noiselevel: call as> noiselevel (1:8, 0, "morrowel")
%!error <noiselevel: call as> noiselevel (1:8, 0, "1d", [1 1], [1 1])
