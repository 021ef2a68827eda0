## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Unwendlock (@var{T}, @var{h})
## Translation-invariant periodic wavelet synthesis.
##
## @var{T} is a table of @math{n = 2^J} rows and @math{D + 1} columns,
## @math{0 <= D <= J}, in the layout that @code{Wendlock} writes: column 1
## the depth-@var{D} lowpass blocks, column @math{k + 1} the @math{2^k}
## highpass blocks of step @math{k}, block @math{b} numbering the shift path
## (binary digits from step 1, 0 unshifted, 1 delayed by one sample):
## @example
## @group
## column 2 (step 1):  [   x              |   delayed x              ]
## column 3 (step 2):  [ path 00 | path 01 | path 10  | path 11      ]
## column 1 (D = 2):   [ path 00 | path 01 | path 10  | path 11      ]
## @end group
## @end example
## From the deepest step up, every block is rebuilt twice, from its
## unshifted children and from its delayed ones; the second reconstruction
## is advanced by one sample (@code{circshift (block, -1)}) and the two are
## averaged.  @var{h} must be the filter @code{Wendlock} used; nothing
## checks that the table came from it.
##
## @var{x} is a @math{1 x n} row.  With one column (@math{D = 0}) it is
## that column, as a row.
##
## Example (Haar):
## @example
## @group
## x = Unwendlock ([5 1/sqrt(2) 2; 5 1/sqrt(2) -2; 5 -3/sqrt(2) 0; 5 1/sqrt(2) 0], [1 1] / sqrt (2))
##   @result{} 1   2   3   4
## @end group
## @end example
## @seealso{Wendlock, Unjostrane}
## @end deftypefn

%!shared h, d4
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);

%!test # each branch is exact alone: the two halves of a step average
%! x = randn (1, 16);
%! T = Wendlock (x, 3, d4);
%! U = T; U(9:16, :) = 0;
%! assert (Unwendlock (U, d4), x / 2, 1e-12);
%! V = T; V(1:8, :) = 0;
%! assert (Unwendlock (V, d4), x / 2, 1e-12);

%!test # D = 0 gives the column as a row; 1 x 1 passes
%! assert (Unwendlock ([1; 2; 3; 4], d4), [1 2 3 4]);
%! assert (Unwendlock (3, h), 3);
%! assert (Unwendlock (zeros (8, 4), d4), zeros (1, 8));

%!error <Unwendlock requires two input arguments.> Unwendlock (ones (4, 1))
%!error <Unwendlock requires one output argument.> [a, b] = Unwendlock (ones (4, 1), [1 1])
%!error <Unwendlock requires dyadic length> x = Unwendlock (ones (6, 2), [1 1])
%!error <Unwendlock requires dyadic length> x = Unwendlock (zeros (0, 1), [1 1])
%!error <Unwendlock requires D <= log_2\(n\)> x = Unwendlock (ones (4, 4), [1 1])
%!error <Unwendlock requires D <= log_2\(n\)> x = Unwendlock (ones (1, 2), [1 1])
%!error <Unwendlock requires D .= 0> x = Unwendlock (zeros (4, 0), [1 1])
%!error <Unwendlock requires real full double arguments> x = Unwendlock (ones (4, 1), int32 ([1 1]))
%!error <Unwendlock requires real full double arguments> x = Unwendlock (ones (4, 1) > 0, [1 1])
