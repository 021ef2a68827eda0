## -*- texinfo -*-
## @deftypefn {} {@var{w} =} Ephrandel (@var{x}, @var{D})
## One step of quadratic point-interpolation refinement: n samples to 3n.
##
## @var{x} holds @math{n} samples at unit spacing (its column count, or its
## row count when it is a single column); @var{D} is truncated towards zero
## from its first element.  Sample @math{i} becomes @code{w(3i-2:3i)}, the
## values at @math{i - 1/3}, @math{i}, @math{i + 1/3}:
##
## @table @asis
## @item @var{D} = 0
## three copies of @code{x(i)};
## @item @var{D} = 2
## the quadratic through samples @math{i-1}, @math{i}, @math{i+1} (the
## first and last sample use the two beside them):
## @code{(2a + 8b - c)/9, b, (-a + 8b + 2c)/9} inside; needs @math{n >= 3};
## @item other @var{D}
## zeros.
## @end table
##
## Every sample is kept (@code{w(3i-1) = x(i)} for @var{D} = 2), so repeated
## calls interpolate; quadratics are reproduced exactly, ends included.
##
## Example:
## @example
## w = Ephrandel ([0 1 4 9], 2)   # the squares of -1/3, 0, 1/3, ..., 10/3
##   @result{} 1/9  0  1/9  4/9  1  16/9  25/9  4  49/9  64/9  9  100/9
## @end example
## @seealso{Olmister, Drassock}
## @end deftypefn

%!test # quadratics reproduced at every third, samples kept
%! assert (Ephrandel ([0 1 4 9], 2), ((0:11)/3 - 1/3) .^ 2, 1e-13);
%! x = randn (1, 7);
%! w = Ephrandel (x', 2.9);
%! assert (w(2:3:end), x);
%! assert (Ephrandel (5 * ones (1, 3), 2), 5 * ones (1, 9), 1e-14);

%!test # D = 0 triples, other D are zeros, empty input with D = 0
%! assert (Ephrandel ([1 2], 0), [1 1 1 2 2 2]);
%! assert (Ephrandel ([1 2], -0.7), [1 1 1 2 2 2]);
%! assert (Ephrandel (1:4, 1), zeros (1, 12));
%! assert (Ephrandel (1:4, 3), zeros (1, 12));
%! assert (size (Ephrandel ([], 0)), [1 0]);

%!test # iterating samples a smooth curve: the values at the start points stay
%! v = [0 1 0 2];
%! for k = 1:3
%!   v = Ephrandel (v, 2);
%! end
%! assert (v(14:27:end), [0 1 0 2]);

%!error <Ephrandel requires two input arguments.> w = Ephrandel (1:3)
%!error <Ephrandel requires one output argument.> [a, b] = Ephrandel (1:3, 2)
%!error <Ephrandel requires at least three input values for D = 2> w = Ephrandel ([1 2], 2)
%!error <Ephrandel requires D to be a number, not empty or NaN> w = Ephrandel (1:3, [])
%!error <Ephrandel requires real full double arguments> w = Ephrandel (1:3, single (2))

%!demo
%! ## repeated refinement keeps the samples and fills in a smooth curve
%! v = [0 1 0 2];
%! for k = 1:4
%!   v = Ephrandel (v, 2);
%! end
%! t = ((1:numel (v)) - 41) / 81;
%! plot (t, v, "linewidth", 2);
%! hold on; plot (0:3, [0 1 0 2], "o", "markersize", 8); hold off;
%! legend ("refined", "samples", "location", "northwest"); xlabel ("t");
%! title ("Ephrandel: four refinement steps");
