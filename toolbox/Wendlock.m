## -*- texinfo -*-
## @deftypefn {} {@var{T} =} Wendlock (@var{x}, @var{L}, @var{h})
## Translation-invariant periodic wavelet analysis: all shift paths.
##
## @var{x} is a signal of length @math{n = 2^J} (a row; for any other shape
## @math{n} is the row count and only the first column is read).  @var{L}
## is the coarsest level, read as @code{floor (L + 0.5)} from its first
## element, and @math{D = J - L} the depth, @math{0 <= D <= J}; @var{h} is
## the orthonormal lowpass filter and @code{g(k) = (-1)^k h(k)} its
## highpass partner.  Each of the @var{D} steps splits every block of the
## current coarse approximation twice, as it is and circularly delayed by
## one sample (@code{circshift (block, 1)}), each as in @code{Jostrane}.
##
## @var{T} is @math{n x (D + 1)}, always @math{n} rows.  Column 1 holds the
## lowpass coefficients at depth @var{D}, column @math{k + 1} the highpass
## coefficients of step @math{k}; column @math{k + 1} has @math{2^k} blocks
## of @math{n / 2^k} rows, column 1 has @math{2^D}.  The block index @math{b}
## (from 0), written with @math{k} binary digits, is the shift path: its
## most significant digit is step 1, digit 0 means unshifted and 1 means
## delayed.  The children of block @math{j} are blocks @math{2j} and
## @math{2j + 1}, in its own rows:
## @example
## @group
## column 2 (step 1):  [   x              |   delayed x              ]
## column 3 (step 2):  [ path 00 | path 01 | path 10  | path 11      ]
## column 1 (D = 2):   [ path 00 | path 01 | path 10  | path 11      ]
## @end group
## @end example
## Block 0 of every column, the all-unshifted path, is the periodic
## transform: block 0 of column 1 holds the @math{2^L} coarse coefficients
## of @code{Jostrane (x, L, h)}, block 0 of column @math{k + 1} its details
## of level @math{J - k}.  @code{Unwendlock (T, h)} inverts the table.
##
## Example (Haar, D = 1):
## @example
## @group
## T = Wendlock ([1 2 3 4], 1, [1 1] / sqrt (2)) * sqrt (2)
##   @result{} 3   1
##      7   1
##      5  -3
##      5   1
## @end group
## @end example
## @seealso{Unwendlock, Jostrane}
## @end deftypefn

%!shared h, d4, d8
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);
%! d8 = orthofilter ("daubechies", 8);

%!test # the Haar tables of (1, 2, 3, 4) at L = 1 and L = 0, and back
%! T1 = [3 1; 7 1; 5 -3; 5 1] / sqrt (2);
%! T0 = [5 1/sqrt(2) 2; 5 1/sqrt(2) -2; 5 -3/sqrt(2) 0; 5 1/sqrt(2) 0];
%! assert (Wendlock ([1 2 3 4], 1, h), T1, 1e-14);
%! assert (Wendlock ([1 2 3 4], 0, h), T0, 1e-14);
%! assert (Unwendlock (T1, h), [1 2 3 4], 1e-14);
%! assert (Unwendlock (T0, h), [1 2 3 4], 1e-14);

%!test # shapes: always n rows; only the first column of a matrix is read
%! x = randn (16, 3);
%! assert (size (Wendlock (x(:, 1)', 2, d4)), [16 3]);
%! assert (Wendlock (x, 2, d4), Wendlock (x(:, 1)', 2, d4));
%! assert (Wendlock (x(:, 1)', 4, d4), x(:, 1));
%! assert (Wendlock (x(:, 1), 4, d4), x(:, 1));
%! assert (Wendlock (9, 0, h), 9);
%! ## L = 0: column 1 and column J + 1 hold n blocks of one value
%! assert (size (Wendlock (x(:, 1), 0, h)), [16 5]);

%!test # readings of L: 2.5 is 3, -0.5 is 0
%! x = randn (1, 8);
%! assert (Wendlock (x, 2.5, d4), Wendlock (x, 3, d4));
%! assert (Wendlock (x, -0.5, d4), Wendlock (x, 0, d4));

%!test # the all-unshifted path is the Jostrane transform, at every level
%! for f = {h, d4, d8}
%!   x = randn (1, 64);
%!   for L = 0:6
%!     T = Wendlock (x, L, f{1});
%!     w = Jostrane (x, L, f{1});
%!     D = 6 - L;
%!     assert (T(1:2^L, 1)', w(1:2^L), 1e-12);
%!     for k = 1:D
%!       j = 6 - k;
%!       assert (T(1:2^j, k + 1)', w(2^j+1:2^(j+1)), 1e-12);
%!     end
%!   end
%! end

%!test # the delayed path of step 1 is the transform of the delayed signal
%! x = randn (1, 32);
%! T = Wendlock (x, 4, d8);
%! w = Jostrane (circshift (x, 1), 4, d8);
%! assert (T(17:32, :)', [w(1:16); w(17:32)], 1e-12);
%! ## shifting the signal by one swaps the two halves at step 1
%! S = Wendlock (circshift (x, 1), 4, d8);
%! assert (S(1:16, :), T(17:32, :), 1e-12);

%!test # round trips for Haar, D4 and D8 at every admitted level, n up to 1024
%! for f = {h, d4, d8}
%!   for n = [1 2 4 32 1024]
%!     x = randn (n, 1);
%!     for L = 0:log2 (n)
%!       assert (Unwendlock (Wendlock (x, L, f{1}), f{1}), x', 1e-11);
%!     end
%!   end
%! end

%!error <Wendlock requires three input arguments.> [a, b] = Wendlock (1:4, 0)
%!error <Wendlock requires one output argument.> [a, b] = Wendlock (1:4, 0, [1 1])
%!error <Wendlock requires dyadic length> T = Wendlock (1:6, 0, [1 1])
%!error <Wendlock requires dyadic length> T = Wendlock ([], 0, [1 1])
%!error <Wendlock requires dyadic length> T = Wendlock (zeros (4, 0), 0, [1 1])
%!error <Wendlock requires D .= 0> T = Wendlock (1:4, 3, [1 1])
%!error <Wendlock requires D .= 0> T = Wendlock (1, 1, [1 1])
%!error <Wendlock requires D < log_2\(n\)> T = Wendlock (1:4, -1, [1 1])
%!error <Wendlock requires D < log_2\(n\)> T = Wendlock (1:4, -Inf, [1 1])
%!error <Wendlock requires real full double arguments> T = Wendlock (uint8 (1:4), 0, [1 1])
%!error <Wendlock requires real full double arguments> T = Wendlock (1:4, 0, single ([1 1]))
%!error <Wendlock requires L to be a number, not empty or NaN> T = Wendlock (1:4, [], [1 1])
%!error <Wendlock requires L to be a number, not empty or NaN> T = Wendlock (1:4, NaN, [1 1])

%!demo
%! ## all shift paths of a spike: every column is one level, every shift a block
%! x = zeros (1, 256); x(100) = 1;
%! T = Wendlock (x, 3, orthofilter ("daubechies", 4));
%! axes ("position", [0.15 0.16 0.6 0.72]);   # room for the labels beside the colour bar
%! imagesc (abs (T)); colorbar;
%! xlabel ("column (level)"); ylabel ("row"); title ("Wendlock: |T| of a spike");
