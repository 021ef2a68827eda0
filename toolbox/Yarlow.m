## -*- texinfo -*-
## @deftypefn {} {@var{y} =} Yarlow (@var{x})
## Orthonormal discrete sine transform of type III (DST-III) of a vector of
## dyadic length: the inverse of @code{Pimbrel}.
##
## @var{x} is a row or a column of length @math{n = 2^J}.  With @math{k, j =
## 0 @dots{} n-1}, @math{d_{n-1} = 1/sqrt(2)} and @math{d_k = 1} otherwise:
## @example
## y(j) = sqrt (2/n) * sum_k d(k) * x(k) * sin (pi * (2j + 1) * (k + 1) / (2n))
## @end example
##
## @var{y} has the shape of @var{x}.  For a matrix with more than one row
## only the first column is transformed; the other columns of @var{y} are
## zero.  An M x 0 input (M dyadic) gives an M x 0 result.  The transform is
## orthogonal: @code{Yarlow (Pimbrel (x))} returns @var{x} to rounding.  It
## is computed from the DCT-III by reversing the input and alternating the
## signs of the output.  Call it with one output.
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
## @item 2^4 @tab 3.5e-16
## @item 2^6 @tab 4.1e-16
## @item 2^8 @tab 1.0e-15
## @item 2^10 @tab 3.4e-15
## @item 2^12 @tab 1.2e-14
## @item 2^14 @tab 4.4e-14
## @item 2^16 @tab 1.9e-13
## @item 2^18 @tab 7.5e-13
## @item 2^20 @tab 4.2e-12
## @end multitable
##
## Example: the last coefficient alone is an alternating signal.
## @example
## y = Yarlow ([0 0 0 2])
##   @result{} 1  -1   1  -1
## @end example
## @seealso{Pimbrel, Fennick, Gorsely}
## @end deftypefn

%!function y = dst3_sum (x)
%!  n = numel (x); k = 0:n-1; j = (0:n-1)';
%!  d = [ones(n-1, 1); 1/sqrt(2)];
%!  y = sqrt (2/n) * sin (pi * (2*j + 1) .* (k + 1) / (2*n)) * (d .* x(:));
%!endfunction

%!test # n = 1, 2 by hand; the last coefficient; the defining sum up to 1024
%! assert (Yarlow (0.5), 0.5);
%! assert (Yarlow ([1 2]), [3 -1] / sqrt (2), 1e-14);
%! assert (Yarlow ([0 0 0 2]), [1 -1 1 -1], 1e-14);
%! for n = 2 .^ (0:10)
%!   x = randn (1, n);
%!   assert (Yarlow (x), dst3_sum (x).', 1e-12 * norm (x));
%! end

%!test # Pimbrel inverts it
%! x = randn (1, 512);
%! assert (Pimbrel (Yarlow (x)), x, 1e-12);

%!test # shapes: row, column, first column of a matrix, M x 0; Inf propagates
%! x = rand (16, 1);
%! assert (Yarlow (x.'), Yarlow (x).');
%! X = rand (4, 3);
%! Y = Yarlow (X);
%! assert (Y(:, 1), dst3_sum (X(:, 1)), 1e-12);
%! assert (Y(:, 2:3), zeros (4, 2));
%! assert (size (Yarlow (zeros (16, 0))), [16 0]);
%! assert (! any (isfinite (Yarlow ([Inf 0]))));

%!error <Yarlow requires one input argument.> y = Yarlow (1, 2)
%!error <Yarlow requires one output argument.> [a, b] = Yarlow (1)
%!error <Yarlow requires dyadic length> y = Yarlow (1:6)
%!error <Yarlow requires dyadic length> y = Yarlow ([])
%!error <Yarlow requires real full double arguments> y = Yarlow (single (1))
