% -*- texinfo -*-
% @deftypefn  {} {@var{y} =} denoise (@var{x}, @var{h}, @var{L})
% @deftypefnx {} {[@var{y}, @var{t}] =} denoise (@var{x}, @var{h}, @var{L}, @var{option}, @var{value}, @dots{})
% Remove white Gaussian noise by thresholding wavelet details.
%
% @var{x} is a signal of any length (a row, or one signal per column), or
% with @code{"layout", "2d"} an image of any size; @var{h} an orthonormal
% lowpass filter (@code{orthofilter ("sym8")}, say), or the name
% @code{orthofilter} takes (@qcode{"sym8"}); @var{L} the coarsest level,
% 0 @dots{} @math{J - 1}, where @math{n = 2^J} is the length of each signal
% (the side of the image) after extension.  The chain, per signal:
% @enumerate
% @item @code{[x, keep] = extendsignal (x, extension)}, to the next
% @math{n = 2^J} (a square of side @math{n} in 2-D), nothing for a signal
% (a square image) of dyadic length;
% @item @code{w = Jostrane (x, L, h)} (@code{Plattigan} in 2-D);
% @item @code{sigma = noiselevel (w, L)}, from the finest details;
% @item one threshold per level @var{L} @dots{} @math{J - 1};
% @item @code{shrinkdetails} with the rule, @code{Unjostrane}
% (@code{Unplattigan}) back, and @code{y = y(keep@{:@})}: @var{y} has the
% size of the input.
% @end enumerate
% Options:
% @table @code
% @item "rule"
% @qcode{"soft"} (default) or @qcode{"hard"}, as in @code{shrinkdetails}.
% @item "threshold"
% @qcode{"sure"} (default): per level, with the details @math{d} of that
% level (@var{k} values, all three orientations in 2-D) scaled to
% @code{s = d / sigma}, the soft threshold that minimises the unbiased
% risk estimate (SURE, from "Estimation of the mean of a multivariate
% normal distribution", 1981) @code{k - 2 #@{|s| <= t@} + sum (min (s.^2, t^2))},
% at most @code{sqrt (2 log k)}; a level whose energy
% @code{(sum (s.^2) - k) / k} is at most @code{log2 (k)^1.5 / sqrt (k)}
% is too sparse for that estimate and gets @code{sqrt (2 log k)} instead
% (the hybrid rule of "Adapting to unknown smoothness via wavelet
% shrinkage", 1995).
% @qcode{"universal"}: @code{sigma * sqrt (2 log N)} on every level,
% @var{N} the number of samples (@math{n}, or @math{n^2} in 2-D), the
% threshold of "Ideal spatial adaptation by wavelet shrinkage", 1994.
% @item "invariant"
% @code{true} averages the estimate over all circular shifts: the details
% of @code{Wendlock (x, L, h)}, every shift path, are thresholded with the
% thresholds of the plain transform and @code{Unwendlock} rebuilds the
% signal.  1-D only.  Default @code{false}.
% @item "layout"
% @qcode{"1d"} (default) or @qcode{"2d"}.
% @item "extension"
% how a signal or image of another length is extended, a rule of
% @code{extendsignal} with the padding split between both ends:
% @qcode{"symmetric"} (default), @qcode{"periodic"}, @qcode{"zero"} or
% @qcode{"constant"}; @qcode{"none"} refuses a length that is not dyadic
% (an image that is not a square of dyadic side).  The transforms are
% periodic: the mirror image meets the signal without a jump at either
% edge and leaves its one jump, where the mirrored ends meet, in the
% padding, so the edges come out nearly as well as the inside.  Periodic
% extension joins the last sample to the first, and zero extension each
% end to 0: a signal whose ends differ gets a jump at its edges and
% ripple around them; zero padding also carries no noise, which lowers
% @var{sigma} where the padding is a large part of the signal.
% @end table
%
% @var{t} holds the thresholds used, one row per level from @var{L} up,
% one column per signal.  They come from the extended signal, whose
% padding repeats the signal's own samples, noise included (except with
% @qcode{"zero"}): @var{sigma} is still the level of the signal's noise,
% and the universal threshold counts the samples of the extended signal.
% A signal with a NaN among its finest details has
% no noise level and comes back all NaN.  On the test signal of the demo
% (a sine with six jumps, 4096 samples, noise of standard deviation 0.5,
% @code{sym8}, @math{L = 4}) the RMS error is 0.26 with soft universal
% thresholds, 0.16 with SURE, 0.15 with SURE and translation invariance;
% hard universal thresholds give 0.18, and 0.12 translation-invariant.
%
% Example:
% @example
% t = (1:1024) / 1024;
% x = 4 * sin (4 * pi * t) - sign (t - 0.3) - sign (0.72 - t);
% noisy = x + 0.5 * sqrt (2) * sin (1e4 * (1:1024) .^ 1.5);   # noise of sigma 0.5, reproducible
% y = denoise (noisy, orthofilter ("sym8"), 4, "invariant", true);
% [norm(noisy - x), norm(y - x)] / sqrt (1024)      # rms error before and after
%   @result{} 0.4859   0.1450
% @end example
% @seealso{noiselevel, shrinkdetails, Jostrane, Wendlock, Plattigan}
% @end deftypefn

function [y, t] = denoise (x, h, L, varargin)
  if (nargin < 3 || mod (numel (varargin), 2) ~= 0)
    error ('wavetide:denoise:usage', 'denoise: call as [y, t] = denoise (x, h, L, option, value, ...)');
  end
  rule = 'soft'; choice = 'sure'; invariant = false; layout = '1d'; extension = 'symmetric';
  for k = 1:2:numel (varargin)
    name = varargin{k}; value = varargin{k+1};
    if (~ ischar (name))
      name = '';
    end
    if (ischar (value))
      value = lower (value);
    end
    switch (lower (name))
      case 'rule'
        rule = value;
      case 'threshold'
        choice = value;
      case 'invariant'
        invariant = value;
      case 'layout'
        layout = value;
      case 'extension'
        extension = value;
      otherwise
        error ('wavetide:denoise:unknownOption', 'denoise: unknown option; valid options: "rule", "threshold", "invariant", "layout", "extension"');
    end
  end
  if (~ ischar (rule) || ~ any (strcmp (rule, {'soft', 'hard'})))
    error ('wavetide:denoise:unknownRule', 'denoise: unknown rule; valid rules: "soft", "hard"');
  end
  if (~ ischar (choice) || ~ any (strcmp (choice, {'sure', 'universal'})))
    error ('wavetide:denoise:unknownThreshold', 'denoise: unknown threshold; valid thresholds: "sure", "universal"');
  end
  if (~ isscalar (invariant) || ~ (islogical (invariant) || isnumeric (invariant)))
    error ('wavetide:denoise:badInvariant', 'denoise: "invariant" takes true or false');
  end
  if (~ ischar (layout) || ~ any (strcmp (layout, {'1d', '2d'})))
    error ('wavetide:denoise:unknownLayout', 'denoise: unknown layout; valid layouts: "1d", "2d"');
  end
  if (~ ischar (extension) || ~ any (strcmp (extension, {'symmetric', 'periodic', 'zero', 'constant', 'none'})))
    error ('wavetide:denoise:unknownExtension', 'denoise: unknown extension; valid extensions: "symmetric", "periodic", "zero", "constant", "none"');
  end
  two_d = strcmp (layout, '2d');
  if (two_d && invariant)
    error ('wavetide:denoise:invariantIs1d', 'denoise: the translation-invariant variant is for 1-D signals');
  end
  if (~ isnumeric (x) || ~ isreal (x) || ndims (x) > 2)
    error ('wavetide:denoise:argumentClass', 'denoise requires real numeric data');
  end
  if (strcmp (extension, 'none') && two_d && size (x, 1) ~= size (x, 2))
    error ('wavetide:denoise:notSquare', 'denoise requires a square array for the 2-D layout');
  end
  row = size (x, 1) == 1 && ~ two_d;
  if (row)
    x = x(:);
  end
  keep = {':', ':'};
  if (~ isempty (x) && ~ strcmp (extension, 'none'))
    [x, keep] = extendsignal (x, extension, 'layout', layout);
  end
  n = size (x, 1);
  J = round (log2 (n));
  if (n < 1 || 2 ^ J ~= n || isempty (x))
    error ('wavetide:denoise:dyadicLength', 'denoise requires dyadic length');
  end
  if (~ isnumeric (L) || ~ isscalar (L) || L ~= round (L) || L < 0 || L > J - 1)
    error ('wavetide:denoise:levelOutOfRange', 'denoise requires L to be a whole number in 0 ... log2(n) - 1');
  end
  x = double (x);
  if (ischar (h))
    h = orthofilter (h);
  end

  if (two_d)
    w = Plattigan (x, L, h);
    sigma = noiselevel (w, L, '2d');
    t = thresholds (w, sigma, L, J, choice, true);
    if (any (isnan (t)))
      y = NaN (n);
    else
      y = Unplattigan (shrinkdetails (w, L, t, rule, '2d'), L, h);
    end
    y = y(keep{:});
    return;
  end

  w = Jostrane (x, L, h);
  sigma = noiselevel (w, L, '1d');
  t = zeros (J - L, size (x, 2));
  y = NaN (size (x));
  for c = 1:size (x, 2)
    t(:, c) = thresholds (w(:, c), sigma(c), L, J, choice, false);
    if (any (isnan (t(:, c))))
      continue;
    end
    if (invariant)
      T = Wendlock (x(:, c), L, h);
      for k = 1:J-L                       % column k + 1: details of level J - k
        T(:, k+1) = shrink_all (T(:, k+1), t(J - k - L + 1, c), rule);
      end
      y(:, c) = Unwendlock (T, h).';
    else
      y(:, c) = Unjostrane (shrinkdetails (w(:, c), L, t(:, c), rule), L, h);
    end
  end
  y = y(keep{:});
  if (row)
    y = y.';
  end
end

% One threshold per level L .. J-1 of the coefficients w (a column, or a
% square array in the 2-D layout) with noise level sigma.
function t = thresholds (w, sigma, L, J, choice, two_d)
  count = 2^J * (1 + (2^J - 1) * two_d);
  t = sigma * sqrt (2 * log (count)) * ones (J - L, 1);
  if (strcmp (choice, 'universal') || isnan (sigma) || sigma == 0)
    return;
  end
  for j = L:J-1
    a = 2^j;
    if (two_d)
      d = [reshape(w(a+1:2*a, 1:2*a), [], 1); reshape(w(1:a, a+1:2*a), [], 1)];
    else
      d = w(a+1:2*a);
    end
    t(j - L + 1) = sigma * sure_threshold (d / sigma);
  end
end

% The hybrid SURE threshold of unit-variance data s (see the help).
function t = sure_threshold (s)
  k = numel (s);
  universal = sqrt (2 * log (k));
  s2 = sort (s(:) .^ 2);
  if ((sum (s2) - k) / k <= log2 (k) ^ 1.5 / sqrt (k))
    t = universal;
    return;
  end
  i = (1:k).';
  risk = k - 2 * i + cumsum (s2) + (k - i) .* s2;   % SURE at t = |s|_(i)
  [~, best] = min (risk);
  t = min (sqrt (s2(best)), universal);
end

% shrinkdetails' rule on every value of a column of n = 2^J values: they
% are the finest details (level J) of a signal of 2n values.
function c = shrink_all (c, t, rule)
  n = numel (c);
  c = shrinkdetails ([zeros(n, 1); c], log2 (n), t, rule);
  c = c(n+1:end);
end

%!function [f, x, h] = test_signal ()
%! ## a sine with six jumps, and the same with noise of deviation 0.5
%! n = 4096; t = (1:n) / n; h = orthofilter ("sym8");
%! f = 4 * sin (4 * pi * t) - sign (t - 0.3) - sign (0.72 - t) ...
%!     + 3 * (t > 0.1 & t < 0.15) - 2 * (t > 0.45 & t < 0.5) + 2.5 * (t > 0.85);
%! randn ("state", 1);
%! x = f + 0.5 * randn (1, n);
%!endfunction

%!test # SURE beats universal (soft), translation invariance beats plain
%! [f, x, h] = test_signal ();
%! rms = @(varargin) sqrt (mean ((denoise (x, h, 4, varargin{:}) - f) .^ 2));
%! U = rms ("threshold", "universal");
%! S = rms ("threshold", "sure");
%! assert (S < 0.75 * U);                                         # 0.16 against 0.26
%! assert (rms ("threshold", "universal", "invariant", true) < 0.95 * U);      # 0.23
%! assert (rms ("threshold", "sure", "invariant", true) < 0.95 * S);           # 0.15
%! H = rms ("rule", "hard", "threshold", "universal");
%! assert (rms ("rule", "hard", "threshold", "universal", "invariant", true) < 0.8 * H);   # 0.12 against 0.18
%! assert (max ([U S H]) < 0.55 * 0.5);   # all well below the noise

%!test # thresholds: universal on every level; SURE falls back on pure noise
%! [~, x, h] = test_signal ();
%! sigma = noiselevel (Jostrane (x, 4, h), 4);
%! [~, t] = denoise (x, h, 4, "threshold", "universal");
%! assert (t, sigma * sqrt (2 * log (4096)) * ones (8, 1), 1e-14);
%! [~, t] = denoise (x, h, 4);
%! assert (size (t), [8 1]);
%! assert (any (t < sigma * sqrt (2 * log (2 .^ (4:11).'))));   # some level is dense
%! randn ("state", 2);
%! e = randn (1024, 1);
%! sigma = noiselevel (Jostrane (e, 2, h), 2);
%! [y, t] = denoise (e, h, 2);
%! assert (t, sigma * sqrt (2 * log (2 .^ (2:9).')), 1e-14);
%! assert (std (y) < 0.2);

%!test # shapes: rows, columns as signals; a constant; NaN
%! [~, x, h] = test_signal ();
%! X = [x.', 2 * x.'];
%! [Y, t] = denoise (X, h, 4, "invariant", true);
%! assert (size (Y), [4096 2]);
%! assert (size (t), [8 2]);
%! assert (Y(:, 1), denoise (x, h, 4, "invariant", true).', 1e-12);
%! assert (Y(:, 2), 2 * Y(:, 1), 1e-11);
%! assert (denoise (3 * ones (1, 64), h, 2), 3 * ones (1, 64), 1e-12);
%! y = denoise ([1:63, NaN; 1:64].', h, 1);
%! assert (all (isnan (y(:, 1))) && ! any (isnan (y(:, 2))));

%!test # 2-D: a noisy image comes back much closer to the clean one
%! [r, c] = ndgrid ((1:256) / 256);
%! F = sin (2 * pi * r .* c) + 2 * ((r - 0.5) .^ 2 + (c - 0.5) .^ 2 < 0.1);
%! randn ("state", 4);
%! X = F + 0.3 * randn (256);
%! rms = @(varargin) sqrt (mean (mean ((denoise (X, orthofilter ("sym8"), 3, "layout", "2d", varargin{:}) - F) .^ 2)));
%! S = rms ();                                           # soft, SURE: 0.118
%! assert (S < 0.45 * 0.3);
%! assert (S < 0.8 * rms ("threshold", "universal"));  # 0.164
%! assert (rms ("rule", "hard", "threshold", "universal") < 0.45 * 0.3);   # 0.125

%!test # any length: the same as extending by hand, denoising and cropping
%! n = 1000; t = (1:n) / n;
%! f = 4 * sin (4 * pi * t) + 8 * t - sign (t - 0.3);
%! randn ("state", 5);
%! x = f + 0.5 * randn (1, n);
%! h = orthofilter ("sym8");
%! hand = {"symmetric", [12:-1:1, 1:n, n:-1:989]     # 12 samples mirrored at each end
%!         "periodic",  [989:n, 1:n, 1:12]
%!         "zero",      [zeros(1, 12), 1:n, zeros(1, 12)]};
%! for k = 1:rows (hand)
%!   [rule, i] = hand{k, :};
%!   xe = [0, x](i + 1);
%!   for invariant = [false true]
%!     [ye, te] = denoise (xe, h, 4, "invariant", invariant, "extension", "none");
%!     [y, t] = denoise (x, h, 4, "invariant", invariant, "extension", rule);
%!     assert (y, ye(13:end-12));
%!     assert (t, te);
%!   end
%! end
%! assert (denoise (x, h, 4), denoise (x, h, 4, "extension", "symmetric"));
%! ## the ends differ by 6: mirrored, the 30 samples at each edge come out
%! ## nearly as well as the inside (0.19 against 0.14), periodic not (0.49)
%! edge = @(y) sqrt (mean ((y([1:30, end-29:end]) - f([1:30, end-29:end])) .^ 2));
%! S = edge (denoise (x, h, 4));
%! assert (S < 0.5 * edge (denoise (x, h, 4, "extension", "periodic")));
%! assert (S < 0.5 * 0.5);
%! ## an image of 40 x 50 in a square of 64: 12 rows and 7 columns mirrored each side
%! randn ("state", 6);
%! X = randn (40, 50) + (1:40).' / 10;
%! Xe = X([12:-1:1, 1:40, 40:-1:29], [7:-1:1, 1:50, 50:-1:44]);
%! Ye = denoise (Xe, h, 2, "layout", "2d");
%! assert (denoise (X, h, 2, "layout", "2d"), Ye(13:52, 8:57));

%!shared h
%! h = [1 1] / sqrt (2);
%!test # failures carry an identifier as well as the message
%! try
%!   y = denoise (1:8, h, 0, "rule", "firm");
%! catch err
%! end
%! assert (err.identifier, "wavetide:denoise:unknownRule");
%!test # a filter by name; options in any case
%! x = sin (1:64) + cos ((1:64) .^ 1.5);
%! y = denoise (x, orthofilter ("sym8"), 2, "rule", "hard");
%! assert (denoise (x, "sym8", 2, "rule", "hard"), y);
%! assert (denoise (x, "SYM8", 2, "Rule", "HARD", "Threshold", "SURE"), y);
%! X = reshape (x, 8, 8);
%! assert (denoise (X, "haar", 1, "LAYOUT", "2D"), denoise (X, h, 1, "layout", "2d"));
%!error <denoise requires dyadic length> denoise (1:6, h, 0, "extension", "none")
%!error <denoise requires L to be a whole number in 0 ... log2\(n\) - 1> denoise (1:1000, h, 10)
%!error <denoise: unknown extension; valid extensions: "symmetric", "periodic", "zero", "constant", "none"> denoise (1:8, h, 0, "extension", "mirror")
%!error <denoise requires L to be a whole number in 0 ... log2\(n\) - 1> denoise (1:8, h, 3)
%!error <denoise requires L to be a whole number> denoise (1:8, h, -1)
%!error <denoise: unknown rule; valid rules: "soft", "hard"> denoise (1:8, h, 0, "rule", "firm")
%!error <denoise: unknown threshold; valid thresholds: "sure", "universal"> denoise (1:8, h, 0, "threshold", "minimax")
%!error <denoise: unknown option; valid options: "rule", "threshold", "invariant", "layout", "extension"> denoise (1:8, h, 0, "level", 2)
%!error <denoise: unknown layout> denoise (1:8, h, 0, "layout", "3d")
%!error <denoise: the translation-invariant variant is for 1-D signals> denoise (ones (8), h, 0, "layout", "2d", "invariant", true)
%!error <denoise requires a square array> denoise (ones (8, 4), h, 0, "layout", "2d", "extension", "none")
%!error <denoise: "invariant" takes true or false> denoise (1:8, h, 0, "invariant", "yes")
%!error <denoise: call as> denoise (1:8, h, 0, "rule")
