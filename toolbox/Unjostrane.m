## -*- texinfo -*-
## @deftypefn {} {@var{x} =} Unjostrane (@var{w}, @var{L}, @var{h})
## Inverse periodic wavelet transform of coefficients in the dyadic layout.
##
## @var{w} is a row vector of length @math{n = 2^J}, or a matrix with one
## coefficient vector per column, laid out as @code{Jostrane} writes it:
## @example
## | coarse: 2^L | details of level L: 2^L | level L+1 | ... | level J-1: n/2 |
## @end example
## @var{L} (read as @code{floor (L + 0.5)}) is the coarsest level and
## @var{h} the lowpass filter used for the forward transform.  Each level
## rebuilds 2 nc values from nc coarse and nc detail values by the transposes
## of the analysis filters.  @var{L} = @var{J} returns @var{w}; @var{L} < 0
## acts as 0 and @var{L} > @var{J} as @var{J}, so that
## @code{Unjostrane (Jostrane (x, L, h), L, h)} returns @var{x} for every
## @var{L} and every orthonormal @var{h}.
##
## Example (Haar):
## @example
## x = Unjostrane ([5 2 1/sqrt(2) 1/sqrt(2)], 0, [1 1] / sqrt (2))
##   @result{} 1.0000   2.0000   3.0000   4.0000
## @end example
## @seealso{Jostrane, Unplattigan, Unwendlock}
## @end deftypefn

%!shared h, d4
%! h = [1 1] / sqrt (2);
%! d4 = orthofilter ("daubechies", 4);

%!test # the help example; L = J returns the input
%! assert (Unjostrane ([5 2 1/sqrt(2) 1/sqrt(2)], 0, h), [1 2 3 4], 1e-12);
%! w = rand (1, 8);
%! assert (Unjostrane (w, 3, h), w);

%!test # levels outside 0 .. J mirror Jostrane, so the round trip holds
%! x = rand (1, 16);
%! for L = [-2, 4 + 3]
%!   assert (Unjostrane (Jostrane (x, L, d4), L, d4), x, 1e-12);
%! end
%! x = rand (16, 3);
%! assert (Unjostrane (Jostrane (x, -2, d4), -2, d4), x, 1e-12);

%!test # each column is its own signal; a column stays a column
%! w = rand (8, 3);
%! x = Unjostrane (w, 1, d4);
%! assert (size (x), [8 3]);
%! assert (x(:, 2), Unjostrane (w(:, 2), 1, d4), 1e-14);

%!error <Unjostrane requires three input arguments.> y = Unjostrane ([1 2], 0, [1 1], 4)
%!error <Unjostrane requires one output argument.> [a, b] = Unjostrane ([1 2], 0, [1 1])
%!error <Unjostrane requires dyadic length> y = Unjostrane (1:12, 0, [1 1])
%!error <Unjostrane requires real full double arguments> y = Unjostrane (int32 ([1 2]), 0, [1 1])
%!error <Unjostrane requires L to be a number, not empty or NaN> y = Unjostrane ([1 2], [], [1 1])
