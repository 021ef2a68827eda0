## -*- texinfo -*-
## @deftypefn {} {@var{X} =} Unplattigan (@var{W}, @var{L}, @var{h})
## Inverse periodic wavelet transform of a square array of dyadic side.
##
## @var{W} is an @math{n x n} array of coefficients, @math{n = 2^J}, in the
## nested quadrant layout that @code{Plattigan} writes for the coarsest
## level @var{L}: the coarse @math{2^L x 2^L} corner, and for each level
## @math{j} = @var{L} .. @math{J-1} the three detail quadrants beside, below
## and diagonal to the @math{2^j x 2^j} corner:
## @example
## @group
## +------+------+-------------+
## |coarse| lo/hi|             |
## +------+------+  lo cols /  |
## | hi/lo| hi/hi|  hi rows    |
## +------+------+-------------+
## |  hi cols /  |  hi cols /  |
## |  lo rows    |  hi rows    |
## +-------------+-------------+
## @end group
## @end example
## Starting from the corner, each level rebuilds the @math{2 nc x 2 nc}
## block: first every row (lowpass half upsampled with @var{h}, highpass
## half with @code{g(k) = (-1)^k h(k)}, summed), then every column the same
## way.  @var{L} is read as @code{floor (L + 0.5)} from its first element;
## @var{L} >= @var{J} returns @var{W} unchanged and @var{L} < 0 acts as 0,
## as in @code{Plattigan}, so the round trip holds for every @var{L}.
##
## Example (Haar):
## @example
## @group
## X = Unplattigan ([5 21 4 4; 9 25 4 4; 1 1 0 0; 1 1 0 0], 1, [1 1] / sqrt (2))
##   @result{}  0    4    8   12
##       1    5    9   13
##       2    6   10   14
##       3    7   11   15
## @end group
## @end example
## @seealso{Plattigan, Unjostrane}
## @end deftypefn

%!shared h, d4
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);

%!test # one level by hand: rows, then columns, of a Haar 2 x 2 block
%! ## W = [a b; c d] in quadrants: a coarse, b lo/hi, c hi/lo, d hi/hi
%! a = 1; b = 2; c = 3; d = 4;
%! X = [a-b-c+d, a+b-c-d; a-b+c-d, a+b+c+d] / 2;
%! assert (Unplattigan ([a b; c d], 0, h), X, 1e-14);

%!test # L >= J unchanged; L < 0 acts as 0, and the round trip holds at L = -1
%! W = randn (8);
%! assert (Unplattigan (W, 3, h), W);
%! assert (Unplattigan (W, 99, h), W);
%! assert (Unplattigan (W, -1, d4), Unplattigan (W, 0, d4));
%! assert (Unplattigan (W, -Inf, d4), Unplattigan (W, 0, d4));
%! X = randn (16);
%! assert (Unplattigan (Plattigan (X, -1, d4), -1, d4), X, 1e-12);
%! assert (Unplattigan (Plattigan (X, 2.5, d4), 2.5, d4), X, 1e-12);
%! assert (Unplattigan (5, 0, h), 5);

%!error <Unplattigan requires 3 input arguments.> X = Unplattigan (eye (2), 0, [1 1], 4)
%!error <Unplattigan requires one output argument.> [A, B] = Unplattigan (eye (2), 0, [1 1])
%!error <Unplattigan requires a square array> X = Unplattigan (ones (8, 4), 0, [1 1])
%!error <Unplattigan requires a square array> X = Unplattigan (ones (3, 6), 0, [1 1])
%!error <Unplattigan requires dyadic length sides> X = Unplattigan (ones (3), 0, [1 1])
%!error <Unplattigan requires real full double arguments> X = Unplattigan (eye (2), 0, single ([1 1]))
%!error <Unplattigan requires real full double arguments> X = Unplattigan (eye (2), "a", [1 1])
%!error <Unplattigan requires L to be a number, not empty or NaN> X = Unplattigan (eye (2), zeros (0, 3), [1 1])
%!error <Unplattigan requires L to be a number, not empty or NaN> X = Unplattigan (eye (2), NaN, [1 1])
