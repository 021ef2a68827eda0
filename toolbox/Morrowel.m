## -*- texinfo -*-
## @deftypefn {} {@var{w} =} Morrowel (@var{x}, @var{L}, @var{g}, @var{gd})
## Forward biorthogonal wavelet transform with periodic boundaries and
## centred filters.
##
## @var{x} is a row vector of length @math{n = 2^J}, or a matrix whose
## @math{n} rows hold one signal per column.  @var{L} is the coarsest level,
## read as @code{floor (L + 0.5)} from its first element.  The third argument
## @var{g} is the @emph{primary} lowpass filter, the fourth @var{gd} the
## @emph{dual} lowpass filter (any shape, read in storage order).  Analysis
## filters with @var{g} and with the highpass @math{h}, the centred mirror of
## @var{gd}: @code{h(i) = (-1)^(floor((Ld-1)/2) + i) gd(i)}, counting i
## from 0, so the centre tap keeps its sign.  With @var{Lg} and @var{Ld} taps,
## each split of a block of length @math{e} computes (indices mod @math{e})
## @example
## lo(i) = sum_j g(j) x(2i + j - floor(Lg/2))
## hi(i) = sum_j h(j) x(2i + ceil(Ld/2) - j)
## @end example
## so an odd filter is centred on x(2i) (lowpass) or x(2i+1) (highpass).
## Filters longer than the block wrap around it as often as they need.
##
## @var{w} has the shape of @var{x}.  Each signal is laid out coarse first:
## @example
## | coarse: 2^L | details of level L: 2^L | level L+1 | ... | level J-1: n/2 |
## @end example
## @var{L} >= @var{J} returns @var{x} unchanged; @var{L} < 0 acts as 0.
## Call it with one output; @code{Unmorrowel} with the same @var{L}, @var{g}
## and @var{gd}, in the same order, inverts it.
##
## Example (the 5/3 pair, primary g with 5 taps, dual gd with 3):
## @example
## g = [-1 2 6 2 -1] / 8;  gd = [1 2 1] / 2;
## w = Morrowel ([1 2 3 4], 1, g, gd)
##   @result{} 1.5000   3.5000        0   2.0000
## @end example
## The highpass of a ramp is 0 except where the period wraps.
##
## The transform is not orthonormal: for white noise each level's details
## have their own deviation, @code{noisegain} gives it, and
## @code{noiselevel} and @code{shrinkdetails} take the layout
## @qcode{"morrowel"} with the two filters to allow for it.
## @seealso{Unmorrowel, biorthofilter, noisegain, noiselevel, Jostrane}
## @end deftypefn

%!shared g5, g3, g9, g7
%! g5 = [-1 2 6 2 -1] / 8;  g3 = [1 2 1] / 2;
%! [g9, g7] = biorthofilter ("cdf", 9, 7);

%!test # the help example and the 5/3 layouts
%! assert (Morrowel ([1 2 3 4], 1, g5, g3), [1.5 3.5 0 2], 1e-12);
%! assert (Morrowel ([1 2 3 4], 0, g5, g3), [2.5 2 0 2], 1e-12);
%! assert (Morrowel (1:8, 0, g5, g3), [4.5 3 -0.5 4.5 0 0 0 4], 1e-12);
%! ## L = J - 1, n = 4: lowpass centred on x(0), x(2); highpass on x(1), x(3)
%! x = [3 -1 4 1];
%! lo = [sum(g5 .* x([3 4 1 2 3])), sum(g5 .* x([1 2 3 4 1]))];
%! hi = [sum([-0.5 1 -0.5] .* x([3 2 1])), sum([-0.5 1 -0.5] .* x([1 4 3]))];
%! assert (Morrowel (x, 1, g5, g3), [lo hi], 1e-12);

%!test # readings of L: beyond J unchanged, below 0 as 0
%! x = [1 2 3 4];
%! assert (Morrowel (x, 2, g5, g3), x);
%! assert (Morrowel (x, 1e10, g5, g3), x);
%! assert (Morrowel (x, -3, g5, g3), Morrowel (x, 0, g5, g3));
%! assert (Morrowel (x, -0.5, g5, g3), Morrowel (x, 0, g5, g3));
%! assert (Morrowel (x, 0.5, g5, g3), Morrowel (x, 1, g5, g3));

%!test # shapes: 4 x 3 column by column, 1 x 8 row, n = 1
%! x = rand (4, 3);
%! w = Morrowel (x, 0, g9, g7);
%! assert (size (w), [4 3]);
%! for k = 1:3
%!   assert (w(:, k), Morrowel (x(:, k), 0, g9, g7), 1e-14);
%!   assert (w(:, k)', Morrowel (x(:, k)', 0, g9, g7), 1e-14);
%! end
%! assert (size (Morrowel (rand (1, 8), 1, g5, g3)), [1 8]);
%! for L = -1:2
%!   assert (Morrowel (7, L, g9, g7), 7);
%! end

%!test # the highpass of a polynomial of degree < 4 vanishes away from the wrap (9/7)
%! t = (0:63) / 64;
%! w = Morrowel (1 + 2*t - 3*t.^2 + t.^3, 5, g9, g7);
%! assert (w(34:62), zeros (1, 29), 1e-12);
%! assert (abs (w(64)) > 1e-3);

%!error <Morrowel requires four input arguments.> y = Morrowel ([1 2], 0, [1 1])
%!error <Morrowel requires four input arguments.> y = Morrowel ([1 2], 0, [1 1], 1, 1)
%!error <Morrowel requires one output argument.> [a, b] = Morrowel ([1 2], 0, [1 1], 1)
%!error <Morrowel requires dyadic length> y = Morrowel (1:6, 0, [1 1], 1)
%!error <Morrowel requires dyadic length> y = Morrowel ([], 0, [1 1], 1)
%!error <Morrowel requires real full double arguments> y = Morrowel (int32 ([1 2]), 0, 1, 1)
%!error <Morrowel requires real full double arguments> y = Morrowel ([1 2], 0, 1, single (1))
%!error <Morrowel requires real full double arguments> y = Morrowel ([1 2], 0, [1 1i], 1)
%!error <Morrowel requires real full double arguments> y = Morrowel (sparse ([1 2]), 0, 1, 1)
%!error <Morrowel requires L to be a number, not empty or NaN> y = Morrowel ([1 2], [], 1, 1)
%!error <Morrowel requires L to be a number, not empty or NaN> y = Morrowel ([1 2], NaN, 1, 1)

%!demo
%! ## a smooth signal with a jump at t = 0.3 (and, periodically extended, at
%! ## t = 0): small details except at the jumps, on every level
%! n = 256; t = (0:n-1) / n;
%! x = cos (2 * pi * t) + (t > 0.3);
%! [g, gd] = biorthofilter ("cdf", 9, 7);
%! w = Morrowel (x, 3, g, gd);
%! stem (w, "marker", "none"); xlim ([1 n]);
%! xlabel ("coefficient (1 to 8 coarse, then levels 3 to 7)");
%! title ("Morrowel, 9/7 filters");
