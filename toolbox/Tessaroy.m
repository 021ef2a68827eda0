## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Tessaroy (@var{T}, @var{h})
## Synthesis of a periodic wavelet packet table into one signal.
##
## @var{T} has @math{n = 2^J} rows and @math{D + 1} columns,
## @math{0 <= D <= J}; column @math{d + 1} holds level @math{d}.  Level
## @math{d} has @math{2^d} blocks of @math{n / 2^d} coefficients; block
## @math{b} (counting from 0) lies in rows @math{b n / 2^d + 1} ..
## @math{(b + 1) n / 2^d}:
## @example
## @group
## level 0  [                    block 0                    ]
## level 1  [        block 0        |        block 1        ]
## level 2  [ block 0  | block 1    | block 2  | block 3    ]
## @end group
## @end example
## Block @math{b} of level @math{d} has the children @math{2b} and
## @math{2b + 1} of level @math{d + 1}, which lie in its own rows.  For
## even @math{b} the first child is its lowpass half (filter @var{h}) and
## the second its highpass half (@code{g(k) = (-1)^k h(k)}); for odd
## @math{b} the roles swap.  The blocks of a level are thereby ordered by
## frequency: with Haar, block @math{b} of the deepest level synthesises to
## a vector with @math{b} sign changes.
##
## @var{x} is the @math{1 x n} row holding the sum, over every block of
## every level, of that block synthesised down to level 0.  A table
## holding the coefficients of one packet basis (zeros elsewhere) gives
## the signal back.  For example the periodic wavelet basis of
## @code{Jostrane (x, L, h)} sits at block 0 of level @math{J - L} (the
## coarse coefficients) and block 1 of level @math{J - j} (the details of
## level @math{j}), which are rows @math{2^j + 1} .. @math{2^(j+1)} as in
## the dyadic layout.
##
## @code{packettable} computes such tables, and @code{packetbasis} picks
## a basis from them.
##
## Example (Haar, n = 4):
## @example
## x = Tessaroy ([0 0 0; 0 0 0; 0 0 1; 0 0 0], [1 1] / sqrt (2))
##   @result{} 0.5000  -0.5000  -0.5000   0.5000
## @end example
## @seealso{packettable, packetbasis, Jostrane, Unjostrane}
## @end deftypefn

%!shared h, d4, d8
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);
%! d8 = orthofilter ("daubechies", 8);

%!test # Haar packets of level 2: 0, 1, 2, 3 sign changes
%! expected = [1 1 1 1; -1 -1 1 1; 1 -1 -1 1; -1 1 -1 1] / 2;
%! for b = 0:3
%!   T = zeros (4, 3); T(b + 1, 3) = 1;
%!   assert (Tessaroy (T, h), expected(b + 1, :), 1e-14);
%! end
%! ## level 3 of n = 8: the sign changes of block b are b
%! for b = 0:7
%!   T = zeros (8, 4); T(b + 1, 4) = 1;
%!   assert (sum (diff (sign (Tessaroy (T, h))) != 0), b);
%! end

%!test # every level contributes: n = 2, D = 1
%! assert (Tessaroy ([0 3/sqrt(2); 0 1/sqrt(2)], h), [1 2], 1e-14);
%! assert (Tessaroy ([1 0; 2 0], h), [1 2], 1e-14);
%! assert (Tessaroy ([1 3/sqrt(2); 2 1/sqrt(2)], h), [2 4], 1e-14);

%!test # D = 0: the column comes back as a row; zeros stay zeros
%! assert (Tessaroy ([1; 2; 3; 4], d4), [1 2 3 4]);
%! assert (Tessaroy (7, h), 7);
%! assert (Tessaroy (zeros (16, 5), d8), zeros (1, 16));

%!test # a Jostrane basis placed at its packet positions gives the signal back
%! for f = {h, d4, d8}
%!   for n = [2 8 64 1024]
%!     J = log2 (n);
%!     x = randn (1, n);
%!     for L = 0:J-1
%!       w = Jostrane (x, L, f{1});
%!       T = zeros (n, J - L + 1);
%!       T(1:2^L, J - L + 1) = w(1:2^L);
%!       for j = L:J-1
%!         T(2^j+1:2^(j+1), J - j + 1) = w(2^j+1:2^(j+1));
%!       end
%!       assert (Tessaroy (T, f{1}), x, 1e-11);
%!     end
%!   end
%! end

%!test # the packets of one level form an orthonormal basis (D8, n = 32)
%! P = zeros (32);
%! for b = 1:32
%!   T = zeros (32, 4); T(b, 4) = 1;
%!   P(b, :) = Tessaroy (T, d8);
%! end
%! assert (P * P', eye (32), 1e-12);

%!error <Tessaroy requires two input arguments.> x = Tessaroy (ones (4, 1))
%!error <Tessaroy requires one output argument.> [a, b] = Tessaroy (ones (4, 1), [1 1])
%!error <Tessaroy requires dyadic length> x = Tessaroy (ones (6, 2), [1 1])
%!error <Tessaroy requires dyadic length> x = Tessaroy (zeros (0, 1), [1 1])
%!error <Tessaroy requires D <= log_2\(n\)> x = Tessaroy (ones (8, 5), [1 1])
%!error <Tessaroy requires D <= log_2\(n\)> x = Tessaroy (ones (1, 2), [1 1])
%!error <Tessaroy requires D .= 0> x = Tessaroy (zeros (4, 0), [1 1])
%!error <Tessaroy requires real full double arguments> x = Tessaroy (int16 (ones (4, 1)), [1 1])
%!error <Tessaroy requires real full double arguments> x = Tessaroy (ones (4, 1), {1})
