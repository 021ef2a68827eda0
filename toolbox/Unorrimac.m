## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Unorrimac (@var{T}, @dots{})
## Cosine-packet synthesis: the signal a cosine-packet table represents.
##
## @var{T} is an @math{n x (D+1)} table in the layout of @code{Orrimac}:
## @math{n = 2^J} rows (the signal axis), column @math{d+1} holding the
## @math{2^d} blocks of level @math{d}, block @math{i} (from 0) in rows
## @math{i f + 1 @dots{} (i+1) f}, @math{f = n/2^d}; @math{D} must lie in
## @math{0 @dots{} J}.  Further arguments are accepted and ignored.
##
## Each column is inverted on its own: the DCT-IV of every block (it is its
## own inverse), then the unfold by the bell of half-width
## @math{m = (n/2^D)/2}, @code{bp(i) = sin (pi (1 + (i + 0.5)/m) / 4)},
## which adds back what the fold moved across each block boundary.  The
## result @var{x}, always a @math{1 x n} row, is the sum of the signals of
## all columns.  So a table holding one cosine-packet basis (each block's
## coefficients in its level's column, zeros elsewhere) returns the signal
## of that basis, one column of @code{Orrimac (x, D, 0)} returns @var{x},
## and the complete table returns @math{(D + 1) x}.
##
## Example:
## @example
## T = Orrimac (1:8, 2, 0);
## T(:, [1 2]) = 0;              # keep level 2 only
## x = Unorrimac (T)
##   @result{} 1   2   3   4   5   6   7   8
## @end example
## @seealso{Orrimac}
## @end deftypefn

%!test # an n x 1 table is the inverse DCT-IV; the output is always a row
%! f = 32;
%! C = sqrt (2/f) * cos (pi * (2*(0:f-1)' + 1) * (2*(0:f-1) + 1) / (4*f));
%! y = randn (f, 1);
%! assert (Unorrimac (y), (C * y)', 1e-12);
%! assert (Unorrimac (7), 7, 1e-15);

%!test # m = 0 (D = J) needs no folding; extra inputs are ignored
%! T = randn (8, 4);
%! x = Unorrimac (T, "ignored", {1});
%! C = @(f) sqrt (2/f) * cos (pi * (2*(0:f-1)' + 1) * (2*(0:f-1) + 1) / (4*f));
%! e = C(8) * T(:, 1) + kron (eye (2), C(4)) * T(:, 2) + kron (eye (4), C(2)) * T(:, 3) + T(:, 4);
%! assert (x, e', 1e-12);

%!error <Unorrimac requires one input argument.> x = Unorrimac ()
%!error <Unorrimac requires one output argument.> [a, b] = Unorrimac (ones (8, 1))
%!error <Unorrimac requires real full double arguments> x = Unorrimac (single (ones (8, 1)))
%!error <Unorrimac requires dyadic length> x = Unorrimac (ones (12, 2))
%!error <Unorrimac requires dyadic length> x = Unorrimac (zeros (0, 3))
%!error <Unorrimac requires D <= log_2\(n\)> x = Unorrimac (ones (8, 5))
%!error <Unorrimac requires D <= log_2\(n\)> x = Unorrimac (ones (1, 8))
%!error <Unorrimac requires D \x3e= 0> x = Unorrimac (zeros (8, 0))
