## -*- texinfo -*-
## @deftypefn {} {@var{w} =} Jostrane (@var{x}, @var{L}, @var{h})
## Forward periodic wavelet transform of a signal of dyadic length.
##
## @var{x} is a row vector of length @math{n = 2^J}, or a matrix whose
## @math{n} rows hold one signal per column.  @var{L} is the coarsest level,
## read as @code{floor (L + 0.5)} from its first element; @var{h} is the
## orthonormal lowpass filter (any shape).  The highpass filter is
## @code{g(k) = (-1)^k h(k)}, counting k from 0.  Each split computes
## @example
## lo(i) = sum_k h(k) x(2i + k mod n),  hi(i) = sum_k g(k) x(2i + 1 - k mod n)
## @end example
##
## @var{w} has the shape of @var{x}.  Each signal is laid out coarse first:
## @example
## | coarse: 2^L | details of level L: 2^L | level L+1 | ... | level J-1: n/2 |
## @end example
## @var{L} >= @var{J} returns @var{x} unchanged; @var{L} < 0 acts as 0.
## Call it with one output; @code{Unjostrane} with the same @var{L} and
## @var{h} inverts it.
##
## Relation to PyWavelets and MATLAB: with @code{h = orthofilter (name)}
## (PyWavelets' @code{rec_lo}), @var{m} taps, @math{c = m/2 - 1} and a row
## @var{x},
## @example
## @group
## w = Jostrane (circshift (x, -c), L, h);     # the input advanced by c samples
## v = [circshift(w(1:2^L), c), -w(2^L+1:n)];  # the coarse band rolled by c, details negated
## @end group
## @end example
## equals the concatenation of
## @code{pywt.wavedec (x, name, mode="periodization", level=J-L)}: the
## bands are in the same order, coarse first, then the details from the
## coarsest level to the finest, at every level and for every @var{n}.
##
## Example (Haar):
## @example
## w = Jostrane ([1 2 3 4], 0, [1 1] / sqrt (2))
##   @result{} 5.0000   2.0000   0.7071   0.7071
## @end example
## @seealso{Unjostrane, Plattigan, Wendlock}
## @end deftypefn

%!shared h, d4, d8
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);
%! d8 = orthofilter ("daubechies", 8);

%!test # the help example and the Haar layouts
%! assert (Jostrane ([1 2 3 4], 0, h), [5 2 1 1] .* [1 1 h], 1e-12);
%! assert (Jostrane ([1 2 3 4], 1, h), [3 7 1 1] / sqrt (2), 1e-12);
%! assert (Jostrane (1:8, 0, h), [36/sqrt(8) 4*sqrt(2) 2 2 h(1)*ones(1, 4)], 1e-12);

%!testif ; ! system ("/usr/bin/python3 -c 'import pywt' 2>/dev/null")
%! ## the relation to pywt.wavedec (..., mode="periodization") of the help
%! names = {"haar", "db2", "db4", "sym8", "coif3", "db10"};
%! x = randn (1, 64);
%! script = [tempname() ".py"];
%! fid = fopen (script, "w");
%! fprintf (fid, ["import pywt, warnings\nwarnings.simplefilter('ignore')\nx = [%s]\nfor n in [%s]:\n" ...
%!                " for lev in range(1, 7): print(' '.join('%%.17g' %% v for c in pywt.wavedec(x, n, mode='periodization', level=lev) for v in c))\n"], ...
%!          sprintf ("%.17g,", x), strjoin (strcat ("'", names, "'"), ","));
%! fclose (fid);
%! [st, out] = system (["/usr/bin/python3 " script]);
%! delete (script);
%! assert (st, 0);
%! lines = strsplit (strtrim (out), "\n");
%! for k = 1:numel (names)
%!   hf = orthofilter (names{k}); c = numel (hf) / 2 - 1;
%!   for L = 5:-1:0
%!     w = Jostrane (circshift (x, -c), L, hf);
%!     v = [circshift(w(1:2^L), c), -w(2^L+1:64)];
%!     ## PyWavelets' symmlet taps differ from the exact ones by up to 5e-12
%!     assert (v, str2num (lines{6 * (k - 1) + 6 - L}), 1e-12 + 2e-11 * strncmp (names{k}, "sym", 3));
%!   end
%! end

%!test # readings of L: rounded; beyond J unchanged, below 0 as 0
%! x = [1 2 3 4];
%! assert (Jostrane (x, 1.5, h), x);
%! assert (Jostrane (x, 2.49, h), x);
%! assert (Jostrane (x, 1e10, h), x);
%! assert (Jostrane (x, -0.5, h), Jostrane (x, 0, h));
%! assert (Jostrane (x, -0.51, h), Jostrane (x, 0, h));
%! assert (Jostrane (x, -Inf, h), Jostrane (x, 0, h));

%!test # shapes: row, column, columns as signals, 1 x 1
%! x = rand (8, 3);
%! w = Jostrane (x, 1, d4);
%! assert (size (w), [8 3]);
%! for c = 1:3
%!   assert (w(:, c), Jostrane (x(:, c), 1, d4), 1e-14);
%!   assert (w(:, c)', Jostrane (x(:, c)', 1, d4), 1e-14);
%! end
%! assert (Jostrane (7, 0, h), 7);

%!test # round trips for Haar, D4 and D8 at every level, rows, columns, matrices
%! for f = {h, d4, d8}
%!   for x = {rand(1, 64), rand(32, 1), rand(16, 5)}
%!     J = log2 (max (rows (x{1}), columns (x{1}) * (rows (x{1}) == 1)));
%!     for L = 0:J
%!       assert (Unjostrane (Jostrane (x{1}, L, f{1}), L, f{1}), x{1}, 1e-12);
%!     end
%!   end
%! end

%!test # Parseval for an orthonormal filter; energy of a constant is all coarse
%! x = randn (1, 256);
%! assert (norm (Jostrane (x, 3, d8)), norm (x), 1e-12);
%! w = Jostrane (ones (1, 16), 0, d4);
%! assert (w(1), 4, 1e-12);
%! assert (w(2:end), zeros (1, 15), 1e-12);

%!test # an N-D array is read as its M x (N*P) columns and keeps its shape
%! x = randn (8, 8, 2);
%! w = Jostrane (x, 2, d4);
%! assert (size (w), [8 8 2]);
%! assert (w(:, :), Jostrane (x(:, :), 2, d4));

%!test # failures carry an identifier as well as the message
%! try
%!   y = Jostrane (1:6, 0, [1 1]);
%! catch err
%! end
%! assert (err.identifier, "wavetide:Jostrane:dyadicLength");
%! assert (err.message, "Jostrane: Jostrane requires dyadic length");

%!error <Jostrane requires three input arguments.> y = Jostrane ([1 2], 0)
%!error <Jostrane requires one output argument.> [a, b] = Jostrane ([1 2], 0, [1 1])
%!error <Jostrane requires dyadic length> y = Jostrane (1:6, 0, [1 1])
%!error <Jostrane requires dyadic length> y = Jostrane ([], 0, [1 1])
%!error <Jostrane requires real full double arguments> y = Jostrane (int32 ([1 2]), 0, [1 1])
%!error <Jostrane requires real full double arguments> y = Jostrane (single ([1 2]), 0, [1 1])
%!error <Jostrane requires real full double arguments> y = Jostrane ([1 2], 0, [1 1i])
%!error <Jostrane requires real full double arguments> y = Jostrane (sparse ([1 2]), 0, [1 1])
%!error <Jostrane requires real full double arguments> y = Jostrane ([1 2], true, [1 1])
%!error <Jostrane requires L to be a number, not empty or NaN> y = Jostrane ([1 2], [], [1 1])
%!error <Jostrane requires L to be a number, not empty or NaN> y = Jostrane ([1 2], NaN, [1 1])

%!demo
%! ## hard thresholding at the universal threshold removes most of the noise
%! n = 1024; t = (0:n-1) / n; sigma = 0.2;
%! x = sin (4 * pi * t) + (t > 0.5);
%! y = x + sigma * randn (1, n);
%! h = orthofilter ("symmlet", 8);
%! w = Jostrane (y, 5, h);
%! d = 33:n;
%! w(d) = w(d) .* (abs (w(d)) > sigma * sqrt (2 * log (n)));
%! plot (t, y, "color", [0.75 0.75 0.75], t, Unjostrane (w, 5, h), "b", "linewidth", 2);
%! legend ("noisy", "denoised", "location", "northwest"); xlabel ("t");
%! title ("Jostrane, thresholding, Unjostrane");
