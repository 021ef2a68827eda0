## -*- texinfo -*-
## @deftypefn {} {@var{w} =} Olmister (@var{x}, @var{D})
## One step of median-interpolation refinement: n block values to 3n.
##
## @var{x} holds @math{n} values (its column count, or its row count when it
## is a single column); @var{D} is truncated towards zero from its first
## element.  Value @math{i} of @var{x} becomes @code{w(3i-2:3i)}, the values
## of its left, middle and right third:
##
## @table @asis
## @item @var{D} = 0
## three copies of @code{x(i)};
## @item @var{D} = 2
## the medians over the three thirds of the quadratic whose medians over
## blocks @math{i-1}, @math{i}, @math{i+1} are those values (the first and
## last block use the two blocks beside them); needs @math{n >= 3};
## @item other @var{D}
## zeros.
## @end table
##
## Where the quadratic is monotone over a block, the median of its three
## thirds is the middle one's, which is again the block's value; where its
## vertex lies inside the block it is not: @code{Olmister ([0 4 0], 2)}
## gives 3.7926 4.2370 3.7926 for the middle block, of median 3.7926, not
## 4.  Repeated calls generate the median-interpolating refinement of a
## sequence, the prediction used by @code{Brontal} and @code{Unbrontal}.
## Linear sequences are reproduced: @code{i} becomes @code{i-1/3, i, i+1/3}.
##
## Example:
## @example
## w = Olmister ([1 2], 0)   @result{} 1 1 1 2 2 2
## w = Olmister (0:2, 2)     @result{} -1/3 0 1/3 2/3 1 4/3 5/3 2 7/3
## @end example
## @seealso{Brontal, Unbrontal, Ephrandel}
## @end deftypefn

%!test # D = 0 triples, D = 2 reproduces lines and constants, other D are zeros
%! assert (Olmister ([1 2], 0), [1 1 1 2 2 2]);
%! assert (Olmister ([1; 2], -0.5), [1 1 1 2 2 2]);
%! assert (Olmister (0:5, 2.9), (0:17)/3 - 1/3, 1e-14);
%! assert (Olmister (-7 * ones (4, 1), 2), -7 * ones (1, 12));
%! for D = [1 3 -2 Inf]
%!   assert (Olmister (1:5, D), zeros (1, 15));
%! end
%! assert (size (Olmister ([], 0)), [1 0]);

%!test # a flat step: thirds of the quadratic through block medians 0, 1, 1
%! w = Olmister ([0 1 1 3 -2 5], 2);
%! assert (w(1:6), [-5/9 0 4/9 7/9 1 10/9], 1e-14);

%!error <Olmister requires two input arguments.> w = Olmister (1:3)
%!error <Olmister requires one output argument.> [a, b] = Olmister (1:3, 2)
%!error <Olmister requires at least three input values for D = 2> w = Olmister ([1 2], 2)
%!error <Olmister requires D to be a number, not empty or NaN> w = Olmister (1:3, NaN)
%!error <Olmister requires real full double arguments> w = Olmister (single (1:3), 2)

%!demo
%! ## repeated refinement of four block medians converges to a curve
%! v = [0 1 0 2];
%! for k = 1:4
%!   v = Olmister (v, 2);
%! end
%! plot ((0.5:numel (v)) / numel (v) * 4, v, "linewidth", 2);
%! hold on; plot (0.5:3.5, [0 1 0 2], "o", "markersize", 8); hold off;
%! legend ("refined", "block medians", "location", "northwest"); xlabel ("t");
%! title ("Olmister: four refinement steps");
