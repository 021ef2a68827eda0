## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Undrassock (@var{w}, @var{L}, @var{D})
## Inverse average-interpolating pyramid transform: undoes @code{Drassock}.
##
## @var{w} is a coefficient row of length @math{2n}, @math{n = 3^J}, in the
## layout of @code{Drassock} (a column, or a row with one extra trailing
## value, reads the same; the extra value is ignored).  @var{L} (at least 1)
## and @var{D} are truncated towards zero and must be those of the forward
## call.  With @math{s(j) = 3^((J - j)/2)}:
## @example
## y = w(1 : 3^L) / s(L)
## for j = L+1 ... J
##   y = average_refine (y, D) + w(3^j + 1 : 2*3^j) / s(j)
## @end example
## where @code{average_refine} is the prediction of @code{Drassock}; the
## level loop is the one of @code{Unbrontal}.  The result is a
## @math{1 x n} row.  @var{L} >= @var{J} returns @code{w(1:n)}.
##
## Example:
## @example
## w = Drassock ([3 1 2 9 7 8 4 6 6], 1, 2);
## x = Undrassock (w, 1, 2)
##   @result{} 3   1   2   9   7   8   4   6   6
## @end example
## @seealso{Drassock, Unbrontal}
## @end deftypefn

%!test # round trips for n = 9 ... 3^8, every level, D = 0 and 2, rows and columns
%! for J = 2:8
%!   x = randn (3^J, 1);
%!   for L = 1:J
%!     for D = [0 2]
%!       w = Drassock (x, L, D);
%!       assert (Undrassock (w, L, D), x', 1e-12 * max (1, norm (x, Inf)));
%!       assert (Undrassock (w', L, D), Undrassock (w, L, D));
%!     end
%!   end
%! end

%!test # D = 1 and 3 round trip; odd-length rows; L beyond J
%! x = randn (1, 81);
%! for D = [1 3]
%!   assert (Undrassock (Drassock (x, 2, D), 2, D), x, 1e-12);
%! end
%! w = Drassock (x, 1, 2);
%! assert (Undrassock ([w NaN], 1, 2), Undrassock (w, 1, 2));
%! assert (Undrassock ([x zeros(1, 81)], 4, 2), x);
%! assert (Undrassock ([x zeros(1, 81)], 9, 2), x);

%!test # zero residuals with D = 2: linear coarse values give a linear signal
%! y = Undrassock ([[1 2 3]*3 zeros(1, 51)], 1, 2);
%! assert (y, (0:26)/9 + 1 - 4/9, 1e-13);

%!error <Undrassock requires three input arguments.> x = Undrassock (1:18, 1)
%!error <Undrassock requires one output argument.> [a, b] = Undrassock (1:18, 1, 0)
%!error <In Undrassock: L must be> x = Undrassock (1:18, -1, 0)
%!error <Undrassock requires L to be a number, not empty or NaN> x = Undrassock (1:18, [], 0)
%!error <Input WC to Undrassock is of incompatible size> x = Undrassock (1:20, 1, 0)
%!error <Undrassock requires real full double arguments> x = Undrassock (int32 (1:18), 1, 0)
