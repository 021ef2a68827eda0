## -*- texinfo -*-
## @deftypefn {} {@var{w} =} Brontal (@var{x}, @var{L}, @var{D})
## Forward median-interpolating pyramid transform of a signal of length 3^J.
##
## @var{x} holds @math{n = 3^J} samples: its column count, or its row count
## when it is a single column; the first @math{n} stored values are read.
## @var{L} (at least 1) is the coarsest level and @var{D} the degree of the
## prediction; both are truncated towards zero from their first elements
## (@code{L = 1.7} is level 1, @code{D = 2.9} is degree 2).
##
## Level @math{j} has @math{3^j} values: the medians of consecutive blocks of
## @math{3^(J-j)} samples (level @math{J} is the signal itself).  Each median
## is a sample of its block, taken over the block's samples directly, not a
## median of medians (for a block holding a NaN, see below).  From level
## @math{j-1} the values of level @math{j} are
## predicted three per coarse value:
##
## @table @asis
## @item @var{D} = 0
## each third repeats its block's median (piecewise constant);
## @item @var{D} = 2
## median interpolation: the medians over the three thirds of the quadratic
## whose medians over the block and its two neighbours are the given ones
## (at the first and last block, the two blocks beside it).
## @end table
##
## Any other @var{D} predicts zero, so the residuals are the block medians.
##
## @var{w} is a @math{1 x 2n} row, with @math{s(j) = 3^((J - j)/2)}:
## @example
## w(1 : 3^L)                  medians of level L, times s(L)
## w(3^j + 1 : 2*3^j)          residuals of level j (median - prediction),
##                             times s(j), for j = L+1 ... J
## w(3^L+1 : 3^(L+1)),
## w(2*3^j+1 : 3^(j+1))        zero (j = L+1 ... J-1)
## @end example
## The scale @math{s(j)} is the square root of the block length of level
## @math{j}, as for an orthonormal transform.  @var{L} >= @var{J} keeps the
## signal: @code{w(1:n) = x}, the rest zero.
##
## A median ignores wild samples as long as they are fewer than half of its
## block, so sparse impulsive outliers stay in the residuals of the fine
## levels where they occur and do not reach the coarse medians; block
## averages (@code{Drassock}) spread every outlier into all coarser levels.
##
## A NaN is not ordered.  Every block that holds one, at every level, is
## sorted only in part, and its median depends on where the NaN stands: it
## can be the NaN itself, or a sample that is not the median of the others
## (@code{[1 NaN 2]} gives NaN, @code{[1 2 NaN]} gives 1, @code{[NaN 1 2]}
## gives 2).  With @var{D} = 2 a NaN median also makes the predictions, and
## so the residuals, of the neighbouring blocks NaN.
##
## @code{Unbrontal} with the same @var{L} and @var{D} inverts it.
##
## Example:
## @example
## w = Brontal ([3 1 2 9 7 8 4 6 6], 1, 0);
## w(1:3) / sqrt (3)   @result{} 2   8   6
## w(10:18)            @result{} 1  -1   0   1  -1   0  -2   0   0
## @end example
## @seealso{Unbrontal, Olmister, Drassock}
## @end deftypefn

%!test # n = 9, D = 0: block medians, zeros, sample minus its block's median
%! x = [3 1 2 9 7 8 4 6 6];
%! w = Brontal (x, 1, 0);
%! assert (size (w), [1 18]);
%! assert (w, [[2 8 6]*sqrt(3), zeros(1, 6), 1 -1 0 1 -1 0 -2 0 0], 1e-14);
%! assert (x, [3 1 2 9 7 8 4 6 6]);

%!test # n = 9, D = 2: block medians 0, 1, 1 predict the thirds by hand
%! x = [-1 0 1, 0 1 2, 1 1 1];
%! pred = [-5/9 0 4/9, 7/9 1 10/9, 7/9 1 10/9];
%! assert (Brontal (x, 1, 2), [[0 1 1]*sqrt(3), zeros(1, 6), x - pred], 1e-14);
%! assert (Brontal (x, 1.7, 2.9), Brontal (x, 1, 2));
%! assert (Brontal (x', 1, 2), Brontal (x, 1, 2));

%!test # medians are samples of their blocks, over all samples of the block
%! x = randn (1, 243);
%! for L = 1:4
%!   w = Brontal (x, L, 2);
%!   b = reshape (x, [], 3^L);
%!   m = w(1:3^L) / 3^((5 - L)/2);
%!   assert (m, median (b), 1e-13);
%!   # unscaling rounds: each is within a few ulps of a sample
%!   assert (all (min (abs (x(:) - m), [], 1) <= 4 * eps (m)));
%! end

%!test # constant signal; a linear one leaves no residual with D = 2
%! w = Brontal (2.5 * ones (1, 81), 2, 2);
%! assert (w(1:9), 2.5 * 3 * ones (1, 9), 1e-13);
%! assert (w(10:end), zeros (1, 153), 1e-13);
%! w = Brontal (0:80, 1, 2);
%! assert (w(4:end), zeros (1, 159), 1e-12);

%!test # outliers do not move the coarse medians
%! x = sin (2*pi*(0:242)/243);
%! y = x; y([5 40 41 100 200]) += [30 -25 40 -50 60];
%! w = Brontal (x, 2, 2); v = Brontal (y, 2, 2);
%! assert (v(1:9), w(1:9), 0.2 * 3^1.5);

%!test # a NaN is not ordered: its block's median depends on where it stands
%! for c = {{[1 NaN 2], NaN}, {[1 2 NaN], 1}, {[NaN 1 2], 2}}
%!   w = Brontal ([c{1}{1}, 6 4 5, 9 7 8], 1, 0);
%!   assert (w(1:3) / sqrt (3), [c{1}{2} 5 8], 1e-14);
%! end
%! w = Brontal ([1:13 NaN 15:27], 1, 0);
%! assert (w(1:3) / 3, [5 16 23], 1e-14);

%!test # L >= J keeps the signal; other D predict zero
%! x = rand (1, 27);
%! for L = [3 4 1e9 Inf]
%!   assert (Brontal (x, L, 2), [x zeros(1, 27)]);
%! end
%! w = Brontal (x, 2, 1);
%! assert (w(10:27), zeros (1, 18));
%! assert (w(28:54), x, 1e-15);

%!error <Brontal requires three input arguments.> w = Brontal (1:9, 1)
%!error <Brontal requires one output argument.> [a, b] = Brontal (1:9, 1, 0)
%!error <In Brontal: L must be> w = Brontal (1:9, 0.5, 0)
%!error <In Brontal: L must be> w = Brontal (1:8, -Inf, 0)
%!error <Brontal requires L to be a number, not empty or NaN> w = Brontal (1:9, NaN, 0)
%!error <Brontal requires L to be a number, not empty or NaN> w = Brontal (1:9, [], 0)
%!error <Brontal requires D to be a number, not empty or NaN> w = Brontal (1:9, 1, NaN)
%!error <Brontal requires triadic length input> w = Brontal (1:8, 1, 0)
%!error <Brontal requires triadic length input> w = Brontal ([], 1, 0)
%!error <Brontal requires real full double arguments> w = Brontal (single (1:9), 1, 0)
%!error <Brontal requires real full double arguments> w = Brontal (1:9, int8 (1), 0)

%!demo
%! ## median interpolation is robust: outliers stay in a few details
%! x = sin (2 * pi * (0:242) / 243); x([50 120 200]) = [6 -7 8];
%! w = Brontal (x, 1, 2);
%! axes ("position", [0.12 0.6 0.83 0.27]); plot (x); xlim ([1 numel(x)]);
%! title ("x: a sine with three outliers");
%! axes ("position", [0.12 0.17 0.83 0.26]); stem (w, "marker", "none"); xlim ([1 numel(w)]);
%! xlabel ("coefficient (the finest residuals: 244 to 486)"); title ("Brontal (x, 1, 2)");
