## -*- texinfo -*-
## @deftypefn {} {@var{w} =} Drassock (@var{x}, @var{L}, @var{D})
## Forward average-interpolating pyramid transform of a signal of length 3^J.
##
## The linear sibling of @code{Brontal}: the same arguments (@var{x} of
## @math{n = 3^J} samples, its column count or the row count of a single
## column; @var{L} >= 1 and @var{D} truncated towards zero) and the same
## @math{1 x 2n} layout, with block averages in place of block medians.
## Level @math{j} holds the averages of consecutive blocks of
## @math{3^(J-j)} samples, each formed from three averages of level
## @math{j+1}.  From level @math{j-1} each block's thirds are predicted:
##
## @table @asis
## @item @var{D} = 0
## the block's average, three times;
## @item @var{D} = 2
## the averages over the thirds of the quadratic whose averages over the
## block and its two neighbours are the given ones (the first and last block
## use the two blocks beside them), e.g. for an interior block
## @code{(5a + 26b - 4c)/27, (-a + 29b - c)/27, (-4a + 26b + 5c)/27};
## the three keep the block's average and lines are reproduced.
## @end table
##
## Any other @var{D} predicts zero.  With @math{s(j) = 3^((J - j)/2)}:
## @example
## w(1 : 3^L)                  averages of level L, times s(L)
## w(3^j + 1 : 2*3^j)          residuals of level j, times s(j), j = L+1 ... J
## w(3^L+1 : 3^(L+1)),
## w(2*3^j+1 : 3^(j+1))        zero (j = L+1 ... J-1)
## @end example
## @var{L} >= @var{J} keeps the signal: @code{w(1:n) = x}, the rest zero.
## Averages follow every sample, outliers included; @code{Brontal} is the
## robust choice for impulsive data.  @code{Undrassock} inverts it.
##
## Example:
## @example
## w = Drassock ([3 1 2 9 7 8 4 6 6], 1, 0);
## w(1:3) / sqrt (3)   @result{} 2   8   5.3333
## @end example
## @seealso{Undrassock, Brontal, Ephrandel}
## @end deftypefn

%!test # n = 9, D = 0: block means, zeros, sample minus its block's mean
%! x = [3 1 2 9 7 8 4 6 6];
%! m = 16/3;
%! assert (Drassock (x, 1, 0), [[2 8 m]*sqrt(3), zeros(1, 6), 1 -1 0 1 -1 0 4-m 6-m 6-m], 1e-14);
%! assert (Drassock (x', 1.7, 0.2), Drassock (x, 1, 0));

%!test # n = 9, D = 2: averages 0, 1, 1 predict the thirds by hand
%! x = [-1 0 1, 0 1 2, 1 1 1];
%! pred = [-14 1 13, 22 28 31, 31 28 22] / 27;
%! assert (Drassock (x, 1, 2), [[0 1 1]*sqrt(3), zeros(1, 6), x - pred], 1e-14);
%! assert (Drassock (x, 1, 2.9), Drassock (x, 1, 2));

%!test # linear data leave no residual with D = 2; constants none with any D
%! w = Drassock (0:8, 1, 2);
%! assert (w(1:3), [1 4 7] * sqrt (3), 1e-13);
%! assert (w(4:end), zeros (1, 15), 1e-13);
%! w = Drassock (-2 * ones (243, 1), 3, 0);
%! assert (w(1:27), -2 * 3 * ones (1, 27), 1e-13);
%! assert (w(28:end), zeros (1, 459), 1e-13);

%!test # block averages of every level; L >= J keeps the signal
%! x = randn (1, 243);
%! for L = 1:4
%!   w = Drassock (x, L, 2);
%!   assert (w(1:3^L) / 3^((5 - L)/2), mean (reshape (x, [], 3^L)), 1e-13);
%! end
%! assert (Drassock (x, 5, 2), [x zeros(1, 243)]);
%! assert (Drassock (x, Inf, 0), [x zeros(1, 243)]);

%!error <Drassock requires three input arguments.> w = Drassock (1:9, 1)
%!error <Drassock requires one output argument.> [a, b] = Drassock (1:9, 1, 0)
%!error <In Drassock: L must be> w = Drassock (1:9, 0.5, 0)
%!error <Drassock requires L to be a number, not empty or NaN> w = Drassock (1:9, NaN, 0)
%!error <Drassock requires D to be a number, not empty or NaN> w = Drassock (1:9, 1, NaN)
%!error <Drassock requires triadic length input> w = Drassock (1:10, 1, 0)
%!error <Drassock requires real full double arguments> w = Drassock (1:9, 1, 2i)

%!demo
%! ## average interpolation spreads an outlier over neighbouring details
%! x = sin (2 * pi * (0:242) / 243); x([50 120 200]) = [6 -7 8];
%! w = Drassock (x, 1, 2);
%! axes ("position", [0.12 0.6 0.83 0.27]); plot (x); xlim ([1 numel(x)]);
%! title ("x: a sine with three outliers");
%! axes ("position", [0.12 0.17 0.83 0.26]); stem (w, "marker", "none"); xlim ([1 numel(w)]);
%! set (gca (), "ytick", -5:5:5);
%! xlabel ("coefficient (the finest residuals: 244 to 486)"); title ("Drassock (x, 1, 2)");
