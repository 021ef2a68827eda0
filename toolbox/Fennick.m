## -*- texinfo -*-
## @deftypefn {} {@var{y} =} Fennick (@var{x})
## Orthonormal discrete cosine transform of type II (DCT-II) of a vector of
## dyadic length.
##
## @var{x} is a row or a column of length @math{n = 2^J}.  With @math{k, j =
## 0 @dots{} n-1}, @math{c_0 = 1/sqrt(2)} and @math{c_k = 1} otherwise:
## @example
## y(k) = sqrt (2/n) * c(k) * sum_j x(j) * cos (pi * (2j + 1) * k / (2n))
## @end example
##
## @var{y} has the shape of @var{x}.  For a matrix with more than one row
## only the first column is transformed; the other columns of @var{y} are
## zero.  An M x 0 input (M dyadic) gives an M x 0 result.  The transform is
## orthogonal and @code{Gorsely} (DCT-III) inverts it.  It runs in
## @math{O(n log n)} through a split-radix Hartley transform.  Call it with
## one output.
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
## @item 2^4 @tab 3.7e-16
## @item 2^6 @tab 4.4e-16
## @item 2^8 @tab 9.4e-16
## @item 2^10 @tab 3.3e-15
## @item 2^12 @tab 1.2e-14
## @item 2^14 @tab 4.3e-14
## @item 2^16 @tab 1.9e-13
## @item 2^18 @tab 7.5e-13
## @item 2^20 @tab 4.1e-12
## @end multitable
##
## Example: a constant puts all its energy in the first coefficient.
## @example
## y = Fennick ([1 1 1 1])
##   @result{} 2   0   0   0
## @end example
## @seealso{Gorsely, Pimbrel, Yarlow}
## @end deftypefn

%!function y = dct2_sum (x)
%!  n = numel (x); k = (0:n-1)'; j = 0:n-1;
%!  c = [1/sqrt(2); ones(n-1, 1)];
%!  y = sqrt (2/n) * c .* (cos (pi * (2*j + 1) .* k / (2*n)) * x(:));
%!endfunction

%!test # n = 1, 2, 4 by hand; a constant; the defining sum for n up to 1024
%! assert (Fennick (-3.5), -3.5);
%! assert (Fennick ([2 -5]), [-3 7] / sqrt (2), 1e-14);
%! c = cos (pi * [1 2 3] / 8) / sqrt (2);
%! assert (Fennick ([1 0 0 0]), [1/2 c], 1e-14);
%! assert (Fennick (2.5 * ones (1, 64)), [20 zeros(1, 63)], 1e-12);
%! for n = 2 .^ (0:10)
%!   x = randn (n, 1);
%!   assert (Fennick (x), dct2_sum (x), 1e-12 * norm (x));
%! end

%!test # Gorsely inverts it; Parseval
%! for n = 2 .^ [0 1 2 3 5 9 12]
%!   x = rand (1, n) - 0.5;
%!   assert (Gorsely (Fennick (x)), x, 1e-12);
%!   assert (norm (Fennick (x)), norm (x), 1e-12);
%! end

%!test # shapes: row, column, first column of a matrix, M x 0; NaN propagates
%! x = rand (1, 16);
%! assert (Fennick (x.'), Fennick (x).');
%! X = magic (4)(:, 1:3);
%! Y = Fennick (X);
%! assert (Y(:, 1), dct2_sum (X(:, 1)), 1e-12);
%! assert (Y(:, 2:3), zeros (4, 2));
%! assert (size (Fennick (zeros (8, 0))), [8 0]);
%! assert (all (isnan (Fennick ([1 NaN 0 0 0 0 0 0]))));

%!error <Fennick requires one input argument.> y = Fennick ()
%!error <Fennick requires one input argument.> y = Fennick (1, 2)
%!error <Fennick requires one output argument.> [a, b] = Fennick (1)
%!error <Fennick requires dyadic length> y = Fennick (1:6)
%!error <Fennick requires dyadic length> y = Fennick ([])
%!error <Fennick requires dyadic length> y = Fennick (zeros (3, 0))
%!error <Fennick requires real full double arguments> y = Fennick (single ([1 2]))
%!error <Fennick requires real full double arguments> y = Fennick ([1 2i])
%!error <Fennick requires real full double arguments> y = Fennick (sparse ([1 2]))
%!error <Fennick requires real full double arguments> y = Fennick (int8 ([1 2]))

%!demo
%! ## energy compaction: a smooth signal needs few DCT-II coefficients
%! n = 256; t = ((0:n-1) + 0.5) / n;
%! y = Fennick (exp (-t) .* cos (3 * t));
%! semilogy (0:n-1, abs (y) + eps);
%! xlabel ("k"); ylabel ("|y(k)|"); title ("Fennick of a smooth signal");
