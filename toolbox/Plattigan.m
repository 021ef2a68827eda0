## -*- texinfo -*-
## @deftypefn {} {@var{W} =} Plattigan (@var{X}, @var{L}, @var{h})
## Forward periodic wavelet transform of a square array of dyadic side.
##
## @var{X} is an @math{n x n} array, @math{n = 2^J}.  @var{L} is the coarsest
## level, read as @code{floor (L + 0.5)} from its first element; @var{h} is
## the orthonormal lowpass filter (any shape) and
## @code{g(k) = (-1)^k h(k)}, counting k from 0, its highpass partner.  At
## each level from @math{J-1} down to @var{L} one periodic split (as in
## @code{Jostrane}) is applied to every column and then to every row of the
## top-left @math{nc x nc} block, which then holds four quadrants:
## @example
## @group
##              columns 1 .. nc/2     columns nc/2+1 .. nc
##            +--------------------+--------------------+
## rows       | lowpass columns,   | lowpass columns,   |
## 1 .. nc/2  | lowpass rows:      | highpass rows      |
##            | split again next   |                    |
##            +--------------------+--------------------+
## rows       | highpass columns,  | highpass columns,  |
## nc/2+1..nc | lowpass rows       | highpass rows      |
##            +--------------------+--------------------+
## @end group
## @end example
## The quadrants nest: after the last level the top-left
## @math{2^L x 2^L} corner holds the coarse coefficients, and the three
## quadrants beside, below and diagonal to the @math{2^j x 2^j} corner
## hold the details of level @math{j}, for @math{j} = @var{L} .. @math{J-1}.
##
## @var{W} is @math{n x n}.  @var{L} >= @var{J} returns @var{X} unchanged;
## @var{L} < 0 acts as 0.  Call it with one output; @code{Unplattigan} with
## the same @var{L} and @var{h} inverts it.
##
## Example (Haar, one level on a 4 x 4 ramp):
## @example
## @group
## W = Plattigan (reshape (0:15, 4, 4), 1, [1 1] / sqrt (2))
##   @result{}  5   21    4    4
##       9   25    4    4
##       1    1    0    0
##       1    1    0    0
## @end group
## @end example
## @seealso{Unplattigan, Jostrane}
## @end deftypefn

%!shared h, d4, d8
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);
%! d8 = orthofilter ("daubechies", 8);

%!function W = ref (X, L, f) # one Jostrane level on the columns, then the rows, of the shrinking corner
%!  W = X; nc = rows (X);
%!  while nc > 2^max (L, 0)
%!    B = Jostrane (W(1:nc, 1:nc), log2 (nc) - 1, f);
%!    W(1:nc, 1:nc) = Jostrane (B.', log2 (nc) - 1, f).';
%!    nc /= 2;
%!  end
%!endfunction

%!test # the 4 x 4 Haar example, both ways
%! X = reshape (0:15, 4, 4);
%! W = [5 21 4 4; 9 25 4 4; 1 1 0 0; 1 1 0 0];
%! assert (Plattigan (X, 1, h), W, 1e-12);
%! assert (Unplattigan (W, 1, h), X, 1e-12);

%!test # nested quadrants: columns and rows split by Jostrane, level by level
%! X = randn (32);
%! for f = {h, d4, d8}
%!   for L = [0 1 3 4]
%!     assert (Plattigan (X, L, f{1}), ref (X, L, f{1}), 1e-12);
%!   end
%! end
%! ## a filter longer than the block wraps around it
%! assert (Plattigan (X(1:2, 1:2), 0, d8), ref (X(1:2, 1:2), 0, d8), 1e-12);

%!test # readings of L: rounded, >= J unchanged, below 0 as 0; 1 x 1 passes
%! X = magic (8);
%! assert (Plattigan (X, 3, h), X);
%! assert (Plattigan (X, 2.5, h), X);
%! assert (Plattigan (X, Inf, h), X);
%! assert (Plattigan (X, -0.5, h), Plattigan (X, 0, h));
%! assert (Plattigan (X, -7, d4), Plattigan (X, 0, d4));
%! assert (Plattigan (X, -Inf, d4), Plattigan (X, 0, d4));
%! assert (Plattigan (7, 0, h), 7);

%!test # round trips for Haar, D4 and D8 at every level, up to 256 x 256
%! for f = {h, d4, d8}
%!   for n = [1 2 4 16 256]
%!     X = randn (n);
%!     for L = 0:log2 (n)
%!       assert (Unplattigan (Plattigan (X, L, f{1}), L, f{1}), X, 1e-11);
%!     end
%!   end
%! end

%!test # Parseval; a constant image has all its energy in the corner
%! X = randn (64);
%! assert (norm (Plattigan (X, 2, d8), "fro"), norm (X, "fro"), 1e-10);
%! W = Plattigan (ones (16), 0, d4);
%! assert (W(1), 16, 1e-12);
%! assert (norm (W(:)(2:end)), 0, 1e-12);

%!error <Plattigan requires 3 input arguments.> W = Plattigan (eye (2), 0)
%!error <Plattigan requires one output argument.> [A, B] = Plattigan (eye (2), 0, [1 1])
%!error <Plattigan requires a square array> W = Plattigan (ones (4, 8), 0, [1 1])
%!error <Plattigan requires a square array> W = Plattigan (ones (6, 4), 0, [1 1])
%!error <Plattigan requires dyadic length sides> W = Plattigan (ones (6), 0, [1 1])
%!error <Plattigan requires dyadic length sides> W = Plattigan ([], 0, [1 1])
%!error <Plattigan requires real full double arguments> W = Plattigan (single (eye (2)), 0, [1 1])
%!error <Plattigan requires real full double arguments> W = Plattigan (eye (2), int8 (0), [1 1])
%!error <Plattigan requires real full double arguments> W = Plattigan (eye (2), 0, [1 1i])
%!error <Plattigan requires real full double arguments> W = Plattigan (sparse (eye (2)), 0, [1 1])
%!error <Plattigan requires L to be a number, not empty or NaN> W = Plattigan (eye (2), [], [1 1])
%!error <Plattigan requires L to be a number, not empty or NaN> W = Plattigan (eye (2), NaN, [1 1])

%!demo
%! ## the coefficients of a piecewise constant image: large only along edges
%! [c, r] = meshgrid (1:64);
%! X = double ((r - 32) .^ 2 + (c - 32) .^ 2 < 300) + (c > 48);
%! W = Plattigan (X, 2, orthofilter ("daubechies", 4));
%! imagesc (log10 (abs (W) + 1e-3)); axis image; colorbar;
%! title ("Plattigan: log_{10} |W|, coarse block top left");
