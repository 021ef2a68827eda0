## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Unbrontal (@var{w}, @var{L}, @var{D})
## Inverse median-interpolating pyramid transform: undoes @code{Brontal}.
##
## @var{w} is a coefficient row of length @math{2n}, @math{n = 3^J}, laid out
## as @code{Brontal} writes it (a column, or a row with one extra trailing
## value, is read the same way; the extra value is ignored).  @var{L} (at
## least 1) and @var{D} are truncated towards zero from their first elements
## and must be those of the forward call.  With @math{s(j) = 3^((J - j)/2)}:
## @example
## y = w(1 : 3^L) / s(L)
## for j = L+1 ... J
##   y = median_refine (y, D) + w(3^j + 1 : 2*3^j) / s(j)
## @end example
## where @code{median_refine} is the prediction of @code{Olmister}.  The
## result is a @math{1 x n} row.  @var{L} >= @var{J} returns
## @code{w(1:n)}; a @var{D} other than 0 or 2 predicts zero, as in
## @code{Brontal}.
##
## A NaN in @var{w} spreads as it is rebuilt: a coarse value enters the
## predictions of its own block and, with @var{D} = 2, of the blocks beside
## it, at every finer level.  A NaN in the signal of @code{Brontal} that
## became a median (see there) therefore comes back as NaN over its own
## block with @var{D} = 0, and beyond it with @var{D} = 2.
##
## Example:
## @example
## w = Brontal ([3 1 2 9 7 8 4 6 6], 1, 0);
## x = Unbrontal (w, 1, 0)
##   @result{} 3   1   2   9   7   8   4   6   6
## @end example
## @seealso{Brontal, Olmister, Undrassock}
## @end deftypefn

%!test # round trips for n = 9 ... 3^8, every level, D = 0 and 2, rows and columns
%! for J = 2:8
%!   x = randn (1, 3^J); x(1:3:end) = round (x(1:3:end));
%!   for L = 1:J
%!     for D = [0 2]
%!       w = Brontal (x, L, D);
%!       assert (Unbrontal (w, L, D), x, 1e-12 * max (1, norm (x, Inf)));
%!       assert (Unbrontal (w', L, D), Unbrontal (w, L, D));
%!       assert (Brontal (x', L, D), w);
%!     end
%!   end
%! end

%!test # D = 1 and 3 round trip; odd-length rows; L beyond J
%! x = randn (1, 81);
%! for D = [1 3]
%!   assert (Unbrontal (Brontal (x, 2, D), 2, D), x, 1e-12);
%! end
%! w = Brontal (x, 1, 2);
%! assert (Unbrontal ([w 7], 1, 2), Unbrontal (w, 1, 2));
%! assert (Unbrontal ([x zeros(1, 81)], 4, 2), x);
%! assert (Unbrontal ([x zeros(1, 81)], 1e6, 0), x);
%! assert (Unbrontal ([5 9], 1, 2), 5);

%!test # zero residuals: D = 0 repeats the coarse values, D = 2 is Olmister
%! c = [4 -1 2];
%! assert (Unbrontal ([c*sqrt(3) zeros(1, 15)], 1, 0), kron (c, ones (1, 3)), 1e-14);
%! assert (Unbrontal ([c*sqrt(3) zeros(1, 15)], 1, 2), Olmister (c, 2), 1e-14);
%! v = [0 1 3 2 5 4 4 6 1];
%! assert (Unbrontal ([v*3 zeros(1, 153)], 2, 2), Olmister (Olmister (v, 2), 2), 1e-13);

%!test # a NaN median comes back over its block, and beyond it with D = 2
%! x = sin (1:27); x(5) = NaN;
%! assert (find (isnan (Unbrontal (Brontal (x, 1, 0), 1, 0))), 1:9);
%! assert (all (isnan (Unbrontal (Brontal (x, 1, 2), 1, 2))));
%! x = sin (1:27); x(27) = NaN;
%! assert (find (isnan (Unbrontal (Brontal (x, 1, 2), 1, 2))), 27);

%!error <Unbrontal requires three input arguments.> x = Unbrontal (1:18, 1)
%!error <Unbrontal requires one output argument.> [a, b] = Unbrontal (1:18, 1, 0)
%!error <In Unbrontal: L must be> x = Unbrontal (1:18, 0.9, 0)
%!error <Unbrontal requires L to be a number, not empty or NaN> x = Unbrontal (1:18, NaN, 0)
%!error <Unbrontal requires D to be a number, not empty or NaN> x = Unbrontal (1:18, 1, [])
%!error <Input WC to Unbrontal is of incompatible size> x = Unbrontal (1:16, 1, 0)
%!error <Input WC to Unbrontal is of incompatible size> x = Unbrontal (1, 1, 0)
%!error <Unbrontal requires real full double arguments> x = Unbrontal (1:18, 1, true)
