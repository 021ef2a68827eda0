## -*- texinfo -*-
## @deftypefn {} {@var{y} =} Gorsely (@var{x})
## Orthonormal discrete cosine transform of type III (DCT-III) of a vector
## of dyadic length: the inverse of @code{Fennick}.
##
## @var{x} is a row or a column of length @math{n = 2^J}.  With @math{k, j =
## 0 @dots{} n-1}, @math{c_0 = 1/sqrt(2)} and @math{c_k = 1} otherwise:
## @example
## y(j) = sqrt (2/n) * sum_k c(k) * x(k) * cos (pi * (2j + 1) * k / (2n))
## @end example
##
## @var{y} has the shape of @var{x}.  For a matrix with more than one row
## only the first column is transformed; the other columns of @var{y} are
## zero.  An M x 0 input (M dyadic) gives an M x 0 result.  The transform is
## orthogonal: @code{Gorsely (Fennick (x))} returns @var{x} to rounding, and
## @code{Fennick} inverts @code{Gorsely} as well.  Call it with one output.
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
## @item 2^4 @tab 3.1e-16
## @item 2^6 @tab 4.4e-16
## @item 2^8 @tab 9.9e-16
## @item 2^10 @tab 3.4e-15
## @item 2^12 @tab 1.2e-14
## @item 2^14 @tab 4.3e-14
## @item 2^16 @tab 1.9e-13
## @item 2^18 @tab 7.5e-13
## @item 2^20 @tab 4.2e-12
## @end multitable
##
## Example: the first coefficient alone is a constant signal.
## @example
## y = Gorsely ([2 0 0 0])
##   @result{} 1   1   1   1
## @end example
## @seealso{Fennick, Pimbrel, Yarlow}
## @end deftypefn

%!function y = dct3_sum (x)
%!  n = numel (x); k = 0:n-1; j = (0:n-1)';
%!  c = [1/sqrt(2); ones(n-1, 1)];
%!  y = sqrt (2/n) * cos (pi * (2*j + 1) .* k / (2*n)) * (c .* x(:));
%!endfunction

%!test # n = 1, 2 by hand; the first coefficient; the defining sum up to 1024
%! assert (Gorsely (4), 4);
%! assert (Gorsely ([2 -5]), [-3 7] / sqrt (2), 1e-14);
%! assert (Gorsely ([3 0 0 0 0 0 0 0]), 3 / sqrt (8) * ones (1, 8), 1e-14);
%! for n = 2 .^ (0:10)
%!   x = randn (1, n);
%!   assert (Gorsely (x), dct3_sum (x).', 1e-12 * norm (x));
%! end

%!test # Fennick inverts it
%! x = randn (256, 1);
%! assert (Fennick (Gorsely (x)), x, 1e-12);

%!test # shapes: row, column, first column of a matrix, M x 0
%! x = rand (32, 1);
%! assert (Gorsely (x.'), Gorsely (x).');
%! X = reshape (1:12, 4, 3);
%! Y = Gorsely (X);
%! assert (Y(:, 1), dct3_sum (X(:, 1)), 1e-12);
%! assert (Y(:, 2:3), zeros (4, 2));
%! assert (size (Gorsely (zeros (2, 0))), [2 0]);

%!error <Gorsely requires one input argument.> y = Gorsely (1, 2)
%!error <Gorsely requires one output argument.> [a, b] = Gorsely (1)
%!error <Gorsely requires dyadic length> y = Gorsely (ones (6, 1))
%!error <Gorsely requires dyadic length> y = Gorsely (zeros (1, 0))
%!error <Gorsely requires real full double arguments> y = Gorsely (true (1, 2))
%!error <Gorsely requires real full double arguments> y = Gorsely ("ab")
