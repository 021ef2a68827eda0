## -*- texinfo -*-
## @deftypefn {} {@var{T} =} packettable (@var{x}, @var{D}, @var{h})
## Periodic wavelet packet table of a signal, levels 0 to @var{D}.
##
## @var{x} is a row or a column of @math{n = 2^J} values; @var{D}, read as
## @code{floor (D + 0.5)}, lies in 0 @dots{} @var{J}; @var{h} is an
## orthonormal lowpass filter such as @code{orthofilter ("db4")}, with
## highpass @code{g(k) = (-1)^k h(k)}.  @var{T} is the
## @math{n x (D + 1)} table that @code{Tessaroy} reads: column
## @math{d + 1} holds level @math{d}, @math{2^d} blocks of
## @math{n / 2^d} coefficients, block @math{b} (from 0) in rows
## @math{b n / 2^d + 1} .. @math{(b + 1) n / 2^d}.  Column 1 is @var{x}.
## Block @math{b} of level @math{d} is split by one periodic analysis step,
## as in @code{Jostrane}:
## @example
## @group
## lo(i) = sum_k h(k) v(2i + k),   hi(i) = sum_k g(k) v(2i + 1 - k)   (mod len)
## @end group
## @end example
## and its halves become its children at level @math{d + 1}, which lie in
## its own rows: for even @math{b} child @math{2b} gets @code{lo} and child
## @math{2b + 1} gets @code{hi}; for odd @math{b} the other way round.  The
## blocks of a level are thereby in frequency order (block @math{b} of
## Haar packets has @math{b} sign changes), and every level, and every
## choice of blocks that covers the rows once (see @code{packetbasis}),
## is an orthonormal basis: @code{Tessaroy (T .* mask, h)} returns
## @var{x} for such a @var{mask}.  The basis of @code{Jostrane (x, L, h)}
## is in the table: its coarse coefficients are block 0 of level
## @math{J - L}, and its details of level @math{j} are block 1 of level
## @math{J - j}.
##
## PyWavelets' @code{WaveletPacket (x, w, mode="periodization")} with
## @code{h = w.rec_lo} (@pxref{orthofilter}), @var{m} taps and
## @math{c = m/2 - 1}: node number @math{b} of @code{get_level (d, "freq")}
## equals block @math{b} of level @math{d} of @code{packettable (x, D, hc)}
## times @math{(-1)^(p m/2)}, where @var{hc} is @var{h} wrapped onto a
## period of @var{n} taps and rotated left by @var{c} places (tap
## @math{k} of @var{h} goes to tap @math{(k - c) mod n} of @var{hc},
## taps that meet adding up), and @var{p} is the number of
## highpass steps on the block's path, the number of ones in the bits of
## @code{bitxor (b, floor (b / 2))}.  For Haar (@math{c = 0}) the tables
## agree up to these signs.
##
## NaN and Inf in @var{x} spread to the blocks they reach.
##
## Example:
## @example
## T = packettable ([1 2 3 4], 2, [1 1] / sqrt (2))  # columns: x, (3 7 1 1)/sqrt 2, (5 2 0 1)
##   @result{} 1   2.1213   5
##      2   4.9497   2
##      3   0.7071   0
##      4   0.7071   1
## x = Tessaroy (T .* [0 1 0; 0 1 0; 0 0 1; 0 0 1], [1 1] / sqrt (2))
##   @result{} 1 2 3 4
## @end example
## @seealso{Tessaroy, packetbasis, Orrimac, Jostrane, orthofilter}
## @end deftypefn

%!shared h
%! h = [1 1] / sqrt (2);

%!test # the help example: Haar on (1, 2, 3, 4), and a mixed basis
%! T = packettable ([1 2 3 4], 2, h);
%! assert (T, [1 3/sqrt(2) 5; 2 7/sqrt(2) 2; 3 1/sqrt(2) 0; 4 1/sqrt(2) 1], 1e-14);
%! assert (Tessaroy (T .* [0 1 0; 0 1 0; 0 0 1; 0 0 1], h), [1 2 3 4], 1e-14);
%! assert (packettable ([1; 2; 3; 4], 1.5, h), T);   # a column; D = 1.5 reads 2

%!test # each level alone gives x back; a shallower table is a prefix
%! for f = {h, orthofilter("db4"), orthofilter("db10")}
%!   for J = 0:12
%!     n = 2^J;
%!     x = randn (1, n);
%!     T = packettable (x, J, f{1});
%!     for D = 0:J
%!       TD = packettable (x, D, f{1});
%!       assert (TD, T(:, 1:D+1));
%!       one = zeros (n, D + 1);
%!       one(:, D+1) = TD(:, D+1);
%!       assert (Tessaroy (one, f{1}), x, 1e-12 * max (1, norm (x)));
%!     end
%!   end
%! end

%!test # Jostrane's coefficients are the blocks the help names, bit for bit
%! d4 = orthofilter ("db2");
%! x = randn (1, 64);
%! T = packettable (x, 6, d4);
%! for L = 0:5
%!   w = Jostrane (x, L, d4);
%!   assert (T(1:2^L, 6 - L + 1), w(1:2^L).');
%!   for j = L:5
%!     assert (T(2^j+1:2^(j+1), 6 - j + 1), w(2^j+1:2^(j+1)).');
%!   end
%! end

%!test # NaN spreads only to the blocks whose filters reach it
%! x = 1:16; x(3) = NaN;
%! T = packettable (x, 4, h);
%! assert (find (isnan (T(:, 2))).', [2 10]);
%! assert (sum (isnan (T(:, 5))), 16);

%!testif ; ! system ("/usr/bin/python3 -c 'import pywt' 2>/dev/null")
%! ## PyWavelets' packet nodes in frequency order, against the rotated filter
%! for name = {"haar", "db4", "db10"}
%!   for n = [8 64]
%!     x = randn (1, n); J = log2 (n);
%!     code = sprintf (["import pywt\nwp = pywt.WaveletPacket([%s], '%s', mode='periodization', maxlevel=%d)\n" ...
%!                      "for d in range(1, %d):\n print(' '.join('%%.17g' %% v for nd in wp.get_level(d, 'freq') for v in nd.data))\n"], ...
%!                     sprintf ("%.17g,", x), name{1}, J, J + 1);
%!     script = [tempname() ".py"];
%!     fid = fopen (script, "w"); fputs (fid, code); fclose (fid);
%!     [st, out] = system (["/usr/bin/python3 " script]);
%!     delete (script);
%!     assert (st, 0);
%!     rows = strsplit (strtrim (out), "\n");
%!     hh = orthofilter (name{1}); m = numel (hh); c = m / 2 - 1;
%!     hc = accumarray (mod ((0:m-1) - c, n).' + 1, hh.', [n 1]).';
%!     T = packettable (x, J, hc);
%!     for d = 1:J
%!       b = floor ((0:n-1) / 2^(J - d));
%!       p = sum (dec2bin (bitxor (b, floor (b / 2)), d) == "1", 2).';
%!       assert (str2num (rows{d}), T(:, d+1).' .* (-1) .^ (p * m / 2), 1e-12);
%!     end
%!   end
%! end

%!test # failures carry an identifier as well as the message
%! try
%!   T = packettable (1:4, 3, h);
%! catch err
%! end
%! assert (err.identifier, "wavetide:packettable:depthTooLarge");

%!error <packettable requires three input arguments.> T = packettable (1:4, 1)
%!error <packettable requires one output argument.> [a, b] = packettable (1:4, 1, h)
%!error <packettable requires real full double arguments> T = packettable (int8 (1:4), 1, h)
%!error <packettable requires dyadic length> T = packettable (1:6, 1, h)
%!error <packettable requires dyadic length> T = packettable ([], 0, h)
%!error <packettable requires one signal, a row or a column> T = packettable (ones (4, 2), 1, h)
%!error <packettable requires D to be a number, not empty or NaN> T = packettable (1:4, NaN, h)
%!error <packettable requires D <= log_2\(n\)> T = packettable (1:4, 3, h)
%!error <packettable requires D .= 0> T = packettable (1:4, -1, h)
