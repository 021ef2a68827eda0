## -*- texinfo -*-
## @deftypefn {} {@var{T} =} Orrimac (@var{x}, @var{D}, @var{unused})
## Cosine-packet analysis: smooth local cosine expansions of a signal at
## every level 0 to @var{D}.
##
## @var{x} is a row or column vector of length @math{n = 2^J} (for a matrix,
## its first column).  @var{D} is the deepest level, read as
## @code{fix (D + 0.5)} from its first element; it must lie in
## @math{-1 @dots{} J} (@math{D = -1} gives an @math{n x 0} table).  The
## third argument is required but never read.
##
## Level @math{d} cuts @var{x} into @math{2^d} blocks of @math{f = n/2^d}
## values.  Each block is folded with its neighbours by the bell and then
## transformed by the orthonormal DCT-IV
## @example
## y(k) = sqrt (2/f) sum_j w(j) cos (pi (2j+1)(2k+1) / (4f)),  j, k = 0 .. f-1
## @end example
## @var{T} is @math{n x (D+1)}; column @math{d+1} holds level @math{d}, with
## block @math{i} (from 0) in rows @math{i f + 1 @dots{} (i+1) f}, in
## frequency order:
## @example
##           level 0     level 1     level 2  ...  level D
##         +---------+ +---------+ +-------+
##         |         | | block 0 | | b 0   |
##         | block 0 | +---------+ +-------+
##         |         | | block 1 | | b 1   |  ...  2^D blocks
##         +---------+ +---------+ +-------+
## @end example
##
## The bell has half-width @math{m = (n/2^D)/2}, half the shortest block,
## at every level: @code{bp(i) = sin (pi (1 + (i + 0.5)/m) / 4)},
## @code{bm(i) = sqrt (1 - bp(i)^2)}, i = 0 .. m-1.  Around each boundary
## between blocks @math{u} (left) and @math{v} (right) the fold rotates the
## mirrored pairs @code{v(i) <- bp(i) v(i) + bm(i) u(f-1-i)} and
## @code{u(f-1-i) <- bp(i) u(f-1-i) - bm(i) v(i)}.  The two ends of the
## signal are left unfolded (no wrap-around).  With @math{D = J} there is no
## bell and each column holds plain block DCT-IVs (column @math{J+1} is
## @var{x}).  Every column is an orthonormal expansion of @var{x}, so
## @code{norm (T(:, d))} equals @code{norm (x)}.
##
## @code{Unorrimac (T)} synthesises the sum of the signals of all columns:
## @math{(D + 1) x} for the complete table, @var{x} for one column alone.
##
## Example:
## @example
## T = Orrimac ([1 0 0 0], 0, 0)      # D = 0: the DCT-IV of the signal, a column
##   @result{} 0.6935
##       0.5879
##       0.3928
##       0.1379
## size (Orrimac (randn (1, 256), 4, 0))
##   @result{} 256   5
## @end example
## @seealso{Unorrimac}
## @end deftypefn

%!shared dct4
%! dct4 = @(f) sqrt (2/f) * cos (pi * (2*(0:f-1)' + 1) * (2*(0:f-1) + 1) / (4*f));

%!test # D = 0 is the DCT-IV of the whole signal; row and column agree
%! x = randn (1, 128);
%! T = Orrimac (x, 0, []);
%! assert (size (T), [128 1]);
%! assert (T, dct4 (128) * x', 1e-12);
%! assert (Orrimac (x', 0, []), T);
%! assert (Orrimac (5, 0, []), 5, 1e-15);

%!test # D = J: no bell, plain block DCT-IVs, the last column is the signal
%! x = randn (64, 1);
%! T = Orrimac (x, 6, 0);
%! assert (size (T), [64 7]);
%! assert (T(:, 7), x, 1e-14);
%! assert (T(:, 4), reshape (dct4 (8) * reshape (x, 8, 8), 64, 1), 1e-12);

%!test # Parseval on every column; n = 8, D = 2
%! x = randn (1, 512);
%! T = Orrimac (x, 5, 0);
%! assert (sumsq (T), sumsq (x) * ones (1, 6), 1e-11);
%! assert (size (Orrimac (1:8, 2, 0)), [8 3]);

%!test # each column alone synthesises x; the complete table gives (D+1) x
%! x = randn (1, 256);
%! for D = [0 3 8]
%!   T = Orrimac (x, D, 0);
%!   for d = 1:D+1
%!     S = zeros (size (T)); S(:, d) = T(:, d);
%!     assert (Unorrimac (S), x, 1e-12);
%!   end
%!   assert (Unorrimac (T), (D + 1) * x, 1e-11);
%! end

%!test # readings of D, the unread third argument, first column of a matrix, M x 0
%! x = randn (16, 1);
%! assert (size (Orrimac (x, 2.5, "anything")), [16 4]);
%! assert (size (Orrimac (x, -0.7, {})), [16 1]);
%! assert (size (Orrimac (x, -1.7, 0)), [16 0]);
%! assert (Orrimac ([x, ones(16, 2)], 3, 0), Orrimac (x, 3, 0));
%! assert (Orrimac (zeros (8, 0), 2, 0), zeros (8, 3));

%!error <Orrimac requires three input arguments.> T = Orrimac (1:8, 2)
%!error <Orrimac requires one output argument.> [a, b] = Orrimac (1:8, 2, 0)
%!error <Orrimac requires real full double arguments> T = Orrimac (single (1:8), 2, 0)
%!error <Orrimac requires real full double arguments> T = Orrimac (1:8, int8 (2), 0)
%!error <Orrimac requires real full double arguments> T = Orrimac ((1:8) * 1i, 2, 0)
%!error <Orrimac requires dyadic length> T = Orrimac (1:12, 2, 0)
%!error <Orrimac requires dyadic length> T = Orrimac ([], 0, 0)
%!error <Orrimac requires D to be a number, not empty or NaN> T = Orrimac (1:8, NaN, 0)
%!error <Orrimac requires D to be a number, not empty or NaN> T = Orrimac (1:8, [], 0)
%!error <Orrimac requires D <= log_2\(n\)> T = Orrimac (1:8, 4, 0)
%!error <Orrimac requires D \x3e= -1> T = Orrimac (1:8, -2.5, 0)

%!demo
%! ## a chirp: at finer levels each block's peak sits deeper in the block as
%! ## the frequency rises
%! n = 256; t = (0:n-1) / n;
%! T = Orrimac (sin (100 * pi * t .^ 2), 4, 0);
%! axes ("position", [0.15 0.16 0.6 0.72]);   # room for the labels beside the colour bar
%! imagesc (0:4, 1:n, abs (T)); colorbar;
%! xlabel ("level d"); ylabel ("row (blocks of n/2^d)"); title ("Orrimac: |T| of a chirp");
