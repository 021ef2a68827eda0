## -*- texinfo -*-
## @deftypefn {} {@var{y} =} Pimbrel (@var{x})
## Orthonormal discrete sine transform of type II (DST-II) of a vector of
## dyadic length.
##
## @var{x} is a row or a column of length @math{n = 2^J}.  With @math{k, j =
## 0 @dots{} n-1}, @math{d_{n-1} = 1/sqrt(2)} and @math{d_k = 1} otherwise:
## @example
## y(k) = sqrt (2/n) * d(k) * sum_j x(j) * sin (pi * (2j + 1) * (k + 1) / (2n))
## @end example
##
## @var{y} has the shape of @var{x}.  For a matrix with more than one row
## only the first column is transformed; the other columns of @var{y} are
## zero.  An M x 0 input (M dyadic) gives an M x 0 result.  The transform is
## orthogonal and @code{Yarlow} (DST-III) inverts it.  It is computed from
## the DCT-II by alternating the signs of the input and reversing the
## output.  Call it with one output.
##
## Accuracy: the sines and cosines in the transform's tables are taken at
## angles accumulated by repeated addition of their step, so the rounding
## error grows about in proportion to @math{n}, to some 2e4 times
## @code{eps} at @math{n = 2^20}; an FFT-based transform with correctly
## rounded twiddles stays near 3e-16 at all these lengths.  Relative L2
## error @math{norm (y - y_exact) / norm (y_exact)} for @var{x} uniform in
## [-1, 1) (the results are the same doubles on every platform):
## @multitable {2^20} {relative error}
## @headitem @math{n} @tab relative error
## @item 2^4 @tab 3.8e-16
## @item 2^6 @tab 4.7e-16
## @item 2^8 @tab 9.0e-16
## @item 2^10 @tab 3.3e-15
## @item 2^12 @tab 1.1e-14
## @item 2^14 @tab 4.4e-14
## @item 2^16 @tab 1.9e-13
## @item 2^18 @tab 7.5e-13
## @item 2^20 @tab 4.1e-12
## @end multitable
##
## Example: a unit impulse of length 8.
## @example
## y = Pimbrel ([1 0 0 0 0 0 0 0])
##   @result{} 0.0975  0.1913  0.2778  0.3536  0.4157  0.4619  0.4904  0.3536
## @end example
## @seealso{Yarlow, Fennick, Gorsely}
## @end deftypefn

%!function y = dst2_sum (x)
%!  n = numel (x); k = (0:n-1)'; j = 0:n-1;
%!  d = [ones(n-1, 1); 1/sqrt(2)];
%!  y = sqrt (2/n) * d .* (sin (pi * (2*j + 1) .* (k + 1) / (2*n)) * x(:));
%!endfunction

%!test # n = 1, 2 by hand; the impulse of length 8; the defining sum up to 1024
%! assert (Pimbrel (-2), -2);
%! assert (Pimbrel ([1 2]), [3 -1] / sqrt (2), 1e-14);
%! y = Pimbrel ([1 0 0 0 0 0 0 0]);
%! assert (y(1), 0.0975451610080641, 1e-14);
%! assert (y(8), 0.353553390593274, 1e-14);
%! assert (y(1:7), sin (pi * (1:7) / 16) / 2, 1e-14);
%! for n = 2 .^ (0:10)
%!   x = randn (n, 1);
%!   assert (Pimbrel (x), dst2_sum (x), 1e-12 * norm (x));
%! end

%!test # Yarlow inverts it; Parseval
%! for n = 2 .^ [0 1 2 3 6 10 12]
%!   x = rand (n, 1) - 0.5;
%!   assert (Yarlow (Pimbrel (x)), x, 1e-12);
%!   assert (norm (Pimbrel (x)), norm (x), 1e-12);
%! end

%!test # shapes: row, column, first column of a matrix, M x 0
%! x = rand (1, 8);
%! assert (Pimbrel (x.'), Pimbrel (x).');
%! X = [1 2 3; 4 5 6; 7 8 9; 10 11 12];
%! Y = Pimbrel (X);
%! assert (Y(:, 1), dst2_sum (X(:, 1)), 1e-12);
%! assert (Y(:, 2:3), zeros (4, 2));
%! assert (size (Pimbrel (zeros (4, 0))), [4 0]);

%!error <Pimbrel requires one input argument.> y = Pimbrel (1, 2)
%!error <Pimbrel requires one output argument.> [a, b] = Pimbrel (1)
%!error <Pimbrel requires dyadic length> y = Pimbrel (1:12)
%!error <Pimbrel requires dyadic length> y = Pimbrel ([])
%!error <Pimbrel requires real full double arguments> y = Pimbrel (uint16 ([1 2]))
