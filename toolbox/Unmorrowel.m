## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Unmorrowel (@var{w}, @var{L}, @var{g}, @var{gd})
## Inverse biorthogonal wavelet transform with periodic boundaries and
## centred filters: the inverse of @code{Morrowel}.
##
## @var{w} is a row vector of length @math{n = 2^J}, or a matrix whose
## @math{n} rows hold one coefficient vector per column, in the layout
## @code{Morrowel} writes:
## @example
## | coarse: 2^L | details of level L: 2^L | level L+1 | ... | level J-1: n/2 |
## @end example
## @var{L} is the coarsest level, read as @code{floor (L + 0.5)}; it is
## clamped into 0 .. J (below 0 acts as 0, above J as J, as in
## @code{Morrowel}), so the round trip holds for every @var{L}.  The third
## argument @var{g} is the @emph{primary} lowpass filter and the fourth
## @var{gd} the @emph{dual} one, the same two in the same order as given to
## @code{Morrowel}.  Synthesis upsamples (a^(2i) = a(i), a^(2i+1) = 0) and
## filters with the dual lowpass @var{gd} and the highpass @math{hs}, the
## centred mirror of @var{g}: @code{hs(i) = (-1)^(floor((Lg-1)/2) + i) g(i)}.
## With @var{Lg}, @var{Ld} taps and blocks of @math{f} values
## (indices mod 2f):
## @example
## x(k) = sum_p gd(p) a^(k - p + ceil(Ld/2) - 1) + sum_p hs(p) d^(k + p - floor(Lg/2) - 1)
## @end example
##
## Example (the 5/3 pair, primary g with 5 taps, dual gd with 3):
## @example
## g = [-1 2 6 2 -1] / 8;  gd = [1 2 1] / 2;
## x = Unmorrowel ([1.5 3.5 0 2], 1, g, gd)
##   @result{} 1   2   3   4
## @end example
## @seealso{Morrowel, biorthofilter, Unjostrane}
## @end deftypefn

%!shared g5, g3, g9, g7
%! g5 = [-1 2 6 2 -1] / 8;  g3 = [1 2 1] / 2;
%! [g9, g7] = biorthofilter ("cdf", 9, 7);

%!test # the help example and the 5/3 layouts
%! assert (Unmorrowel ([1.5 3.5 0 2], 1, g5, g3), [1 2 3 4], 1e-12);
%! assert (Unmorrowel ([2.5 2 0 2], 0, g5, g3), [1 2 3 4], 1e-12);
%! assert (Unmorrowel ([4.5 3 -0.5 4.5 0 0 0 4], 0, g5, g3), 1:8, 1e-12);
%! ## one coarse value at level 0, zero detail: gd folded onto two samples,
%! ## centre tap 1 on the even one, outer taps 1/2 + 1/2 on the odd one
%! assert (Unmorrowel ([3 0], 0, g5, g3), [3 3], 1e-12);

%!test # levels: L = J and beyond returns w; below 0 acts as 0
%! w = rand (1, 16);
%! assert (Unmorrowel (w, 4, g9, g7), w);
%! assert (Unmorrowel (w, 6, g9, g7), w);
%! assert (Unmorrowel (w, -3, g9, g7), Unmorrowel (w, 0, g9, g7));
%! assert (Unmorrowel (5, 0, g9, g7), 5);

%!test # shapes: 4 x 3 column by column, 1 x 8 row
%! w = rand (4, 3);
%! x = Unmorrowel (w, 0, g5, g3);
%! assert (size (x), [4 3]);
%! for k = 1:3
%!   assert (x(:, k), Unmorrowel (w(:, k), 0, g5, g3), 1e-14);
%!   assert (x(:, k)', Unmorrowel (w(:, k)', 0, g5, g3), 1e-14);
%! end
%! assert (size (Unmorrowel (rand (1, 8), 1, g5, g3)), [1 8]);

%!test # round trips: 5/3 in both roles and 9/7 in both roles, every L incl. clamped ones
%! for p = {{g5, g3}, {g3, g5}, {g9, g7}, {g7, g9}}
%!   [g, gd] = p{1}{:};
%!   for x = {rand(1, 64), rand(32, 1), rand(16, 5), rand(1, 2)}
%!     n = rows (x{1}); if (n == 1) n = columns (x{1}); end
%!     J = log2 (n);
%!     for L = [-3, 0:J, J + 2]
%!       assert (Unmorrowel (Morrowel (x{1}, L, g, gd), L, g, gd), x{1}, 1e-12);
%!     end
%!   end
%! end

%!test # round trips at n = 4096, rows and matrices, coarse and fine levels
%! x = randn (1, 4096);  X = randn (4096, 2);
%! for L = [0 1 6 11 12]
%!   assert (Unmorrowel (Morrowel (x, L, g9, g7), L, g9, g7), x, 1e-12 * norm (x, Inf));
%!   assert (Unmorrowel (Morrowel (X, L, g3, g5), L, g3, g5), X, 1e-12 * norm (X(:), Inf));
%! end

%!error <Unmorrowel requires four input arguments.> y = Unmorrowel ([1 2], 0, [1 1])
%!error <Unmorrowel requires four input arguments.> y = Unmorrowel ([1 2], 0, [1 1], 1, 1)
%!error <Unmorrowel requires one output argument.> [a, b] = Unmorrowel ([1 2], 0, [1 1], 1)
%!error <Unmorrowel requires dyadic length> y = Unmorrowel (1:12, 0, [1 1], 1)
%!error <Unmorrowel requires dyadic length> y = Unmorrowel ([], 0, [1 1], 1)
%!error <Unmorrowel requires real full double arguments> y = Unmorrowel (int32 ([1 2]), 0, 1, 1)
%!error <Unmorrowel requires real full double arguments> y = Unmorrowel ([1 2], 0, 1, single (1))
%!error <Unmorrowel requires real full double arguments> y = Unmorrowel ([1 2], 0, [1 1i], 1)
%!error <Unmorrowel requires L to be a number, not empty or NaN> y = Unmorrowel ([1 2], [], 1, 1)
%!error <Unmorrowel requires L to be a number, not empty or NaN> y = Unmorrowel ([1 2], NaN, 1, 1)
