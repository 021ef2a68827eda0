% -*- texinfo -*-
% @deftypefn  {} {[@var{y}, @var{keep}] =} extendsignal (@var{x})
% @deftypefnx {} {[@var{y}, @var{keep}] =} extendsignal (@var{x}, @var{rule})
% @deftypefnx {} {[@var{y}, @var{keep}] =} extendsignal (@var{x}, @var{rule}, @var{target})
% @deftypefnx {} {[@var{y}, @var{keep}] =} extendsignal (@dots{}, @var{option}, @var{value}, @dots{})
% Extend a signal to a length the transforms take; crop it back with @var{keep}.
%
% @var{x} is a signal (a row or a column), a matrix whose columns are
% signals, or with @code{"layout", "2d"} an image.  Each signal of
% @math{n} samples becomes a signal of @math{N} samples, and
% @example
% x == y(keep@{:@})
% @end example
% holds exactly, whatever the rule, so @code{y(keep@{:@})} crops any
% result of the same shape as @var{y} back to the shape of @var{x}.
%
% @var{target} is @qcode{"dyadic"} (default: @math{N} the smallest
% @math{2^J >= n}, for the wavelet and trigonometric transforms),
% @qcode{"triadic"} (the smallest @math{3^J >= n}, for the pyramids), or a
% whole number @math{N} @code{>= n}.
%
% @var{rule} says what the new samples are, with @math{x(1) @dots{} x(n)}
% the signal:
% @table @code
% @item "symmetric"
% (default) the half-sample mirror image, the edge sample repeated:
% @code{@dots{} x(2) x(1) | x(1) @dots{} x(n) | x(n) x(n-1) @dots{}}.  The
% extended signal is continuous at the edges, so a transform sees no jump
% there.
% @item "periodic"
% the signal repeated: @code{@dots{} x(n) | x(1) @dots{} x(n) | x(1) @dots{}}
% @item "zero"
% zeros
% @item "constant"
% the edge sample repeated: @code{x(1) @dots{} x(1) | x(1) @dots{} x(n) | x(n) @dots{} x(n)}
% @end table
% An extension longer than the signal repeats the rule (the mirror image
% of the mirror image, and so on): 3 samples become 8, 1025 become 2048.
%
% Options:
% @table @code
% @item "side"
% @qcode{"both"} (default): the padding is split, @code{floor ((N - n) / 2)}
% samples before the signal and the rest after it, so the signal sits in
% the middle and the seam where a periodic transform joins the two ends
% lies in the padding, away from the signal.  @qcode{"end"}: all the
% padding after the signal, which then keeps its start at index 1.
% @item "layout"
% @qcode{"1d"} (default): a row is one signal, otherwise each column is one;
% @qcode{"2d"}: the array is an image and both its dimensions are extended,
% to one side @math{N} (from the larger of the two), so that the result is
% the square array that @code{Plattigan} takes.
% @end table
%
% @var{keep} is a cell of two index vectors, rows and columns.  @var{y} has
% the class of @var{x}.
%
% Example:
% @example
% [y, keep] = extendsignal ([1 2 3], "symmetric", 8)
%   @result{} y = 2   1   1   2   3   3   2   1
% x = y(keep@{:@})
%   @result{} x = 1   2   3
% @end example
% @seealso{denoise, Jostrane, Plattigan, Brontal}
% @end deftypefn

function [y, keep] = extendsignal (x, varargin)
  if (nargin < 1)
    error ('wavetide:extendsignal:usage', 'extendsignal: call as [y, keep] = extendsignal (x, rule, target, option, value, ...)');
  end
  rule = 'symmetric'; target = 'dyadic'; side = 'both'; layout = '1d';
  args = varargin;
  if (numel (args) >= 1 && ~ is_option (args{1}))
    rule = args{1};
    args(1) = [];
    if (numel (args) >= 1 && ~ is_option (args{1}))
      target = args{1};
      args(1) = [];
    end
  end
  if (mod (numel (args), 2) ~= 0)
    error ('wavetide:extendsignal:usage', 'extendsignal: call as [y, keep] = extendsignal (x, rule, target, option, value, ...)');
  end
  for k = 1:2:numel (args)
    value = args{k+1};
    if (ischar (value))
      value = lower (value);
    end
    name = args{k};
    if (~ ischar (name))
      name = '';
    end
    switch (lower (name))
      case 'side'
        side = value;
      case 'layout'
        layout = value;
      otherwise
        error ('wavetide:extendsignal:unknownOption', 'extendsignal: unknown option; valid options: "side", "layout"');
    end
  end
  if (~ (isnumeric (x) || islogical (x)) || ndims (x) > 2)
    error ('wavetide:extendsignal:argumentClass', 'extendsignal requires a numeric vector or matrix');
  end
  if (isempty (x))
    error ('wavetide:extendsignal:emptySignal', 'extendsignal requires at least one sample');
  end
  if (~ ischar (rule) || ~ any (strcmpi (rule, {'symmetric', 'periodic', 'zero', 'constant'})))
    error ('wavetide:extendsignal:unknownRule', 'extendsignal: unknown rule; valid rules: "symmetric", "periodic", "zero", "constant"');
  end
  if (~ ischar (side) || ~ any (strcmp (side, {'both', 'end'})))
    error ('wavetide:extendsignal:unknownSide', 'extendsignal: unknown side; valid sides: "both", "end"');
  end
  if (~ ischar (layout) || ~ any (strcmp (layout, {'1d', '2d'})))
    error ('wavetide:extendsignal:unknownLayout', 'extendsignal: unknown layout; valid layouts: "1d", "2d"');
  end
  rule = lower (rule);
  [m, n] = size (x);
  if (strcmp (layout, '2d'))
    N = target_length (max (m, n), target);
    sizes = [N N];
  elseif (m == 1)
    sizes = [1, target_length(n, target)];
  else
    sizes = [target_length(m, target), n];
  end

  % Index every new sample to its source; index 0 stands for a zero.
  [rows, keep{1}] = source_index (m, sizes(1), rule, side);
  [cols, keep{2}] = source_index (n, sizes(2), rule, side);
  if (strcmp (rule, 'zero'))
    x(m + 1, n + 1) = 0;                 % the zero that index 0 reads
    rows(rows == 0) = m + 1;
    cols(cols == 0) = n + 1;
  end
  y = x(rows, cols);
end

function yes = is_option (arg)
  yes = ischar (arg) && any (strcmpi (arg, {'side', 'layout'}));
end

function N = target_length (n, target)
  if (ischar (target) && any (strcmpi (target, {'dyadic', 'triadic'})))
    base = 2 + strcmpi (target, 'triadic');
    N = 1;
    while (N < n)
      N = N * base;
    end
    return;
  end
  if (~ isnumeric (target) || ~ isscalar (target) || ~ isreal (target) || target ~= round (target))
    error ('wavetide:extendsignal:badTarget', 'extendsignal: the target is "dyadic", "triadic" or a whole number');
  end
  if (target < n)
    error ('wavetide:extendsignal:targetTooShort', 'extendsignal: the target length is shorter than the signal');
  end
  N = double (target);
end

% For a signal of n samples placed in N, the source of each of the N samples
% (1 .. n, or 0 for a zero) and the places the signal itself occupies.
function [src, keep] = source_index (n, N, rule, side)
  before = 0;
  if (strcmp (side, 'both'))
    before = floor ((N - n) / 2);
  end
  keep = before + (1:n);
  u = (1:N) - before;                     % position relative to the signal
  switch (rule)
    case 'periodic'
      src = mod (u - 1, n) + 1;
    case 'symmetric'
      v = mod (u - 1, 2 * n);             % one period of the mirrored signal: 2n
      src = v + 1;
      src(v >= n) = 2 * n - v(v >= n);
    case 'constant'
      src = min (max (u, 1), n);
    case 'zero'
      src = u .* (u >= 1 & u <= n);
  end
end

%!test # extension and crop are inverses: every rule, side and shape
%! for lengths = [1 2 3 1000 1023 1025; 1 2 4 1024 1024 2048; 1 3 3 2187 2187 2187]
%!   [n, N, N3] = num2cell (lengths){:};
%!   x = sin (1:n) + (1:n) / n;
%!   shapes = {x, x.', [x.', -x.'], int16(1000 * x)};
%!   sizes = {[1 N], [N 1], [N 2], [1 N]};
%!   for rule = {"symmetric", "periodic", "zero", "constant"}
%!     for side = {"both", "end"}
%!       for s = 1:numel (shapes)
%!         [y, keep] = extendsignal (shapes{s}, rule{1}, "side", side{1});
%!         assert (size (y), sizes{s});
%!         assert (y(keep{:}), shapes{s});
%!         assert (class (y), class (shapes{s}));
%!       end
%!       [y, keep] = extendsignal (shapes{3}, rule{1}, "side", side{1}, "layout", "2d");
%!       assert (size (y), [1 1] * max (N, 2));              # n = 1: a 1 x 2 image
%!       assert (y(keep{:}), shapes{3});
%!       [y, keep] = extendsignal (x, rule{1}, "triadic", "side", side{1});
%!       assert (size (y), [1 N3]);
%!       assert (y(keep{:}), x);
%!     end
%!   end
%! end
%! [y, keep] = extendsignal ([7 8], "zero", 2);        # nothing to add
%! assert (y, [7 8]);
%! assert (keep, {1, 1:2});

%!test # the rules' values, by hand: 3 samples to 8, at the end and split
%! x = [1 2 3];
%! cases = {"symmetric", "end",  [1 2 3 3 2 1 1 2]
%!          "symmetric", "both", [2 1 1 2 3 3 2 1]
%!          "periodic",  "end",  [1 2 3 1 2 3 1 2]
%!          "periodic",  "both", [2 3 1 2 3 1 2 3]
%!          "zero",      "end",  [1 2 3 0 0 0 0 0]
%!          "zero",      "both", [0 0 1 2 3 0 0 0]
%!          "constant",  "end",  [1 2 3 3 3 3 3 3]
%!          "constant",  "both", [1 1 1 2 3 3 3 3]};
%! for k = 1:rows (cases)
%!   [rule, side, want] = cases{k, :};
%!   assert (extendsignal (x, rule, 8, "side", side), want);
%!   assert (extendsignal (x.', upper (rule), 8, "Side", upper (side)), want.');
%! end
%! ## an image: rows and columns extended alike, to one side
%! [Y, keep] = extendsignal ([1 2; 3 4; 5 6], "symmetric", "layout", "2d");
%! assert (Y, [1 1 2 2; 3 3 4 4; 5 5 6 6; 5 5 6 6]);   # rows 0 before, 1 after; columns 1 and 1
%! assert (keep, {1:3, 2:3});
%! assert (extendsignal (5), 5);
%! assert (extendsignal (5, "periodic", 3), [5 5 5]);
%!error <extendsignal: unknown rule; valid rules> extendsignal (1:3, "reflect")
%!error <extendsignal: unknown rule> extendsignal (1:3, 8)
%!error <extendsignal: the target length is shorter than the signal> extendsignal (1:5, "zero", 4)
%!error <extendsignal: the target is "dyadic", "triadic" or a whole number> extendsignal (1:5, "zero", 6.5)
%!error <extendsignal: the target is> extendsignal (1:5, "zero", "next")
%!error <extendsignal requires a numeric vector or matrix> extendsignal ("abc")
%!error <extendsignal requires a numeric vector or matrix> extendsignal ({1, 2})
%!error <extendsignal requires at least one sample> extendsignal ([])
%!error <extendsignal: unknown side> extendsignal (1:3, "zero", "side", "start")
%!error <extendsignal: unknown layout> extendsignal (1:3, "zero", "layout", "3d")
%!error <extendsignal: call as> extendsignal (1:3, "zero", 8, "side")
%!error <extendsignal: unknown option; valid options: "side", "layout"> extendsignal (1:3, "zero", 8, "width", 3)
%!test # failures carry an identifier
%! ids = {};
%! calls = {@() extendsignal (1:3, "reflect"), @() extendsignal (1:5, "zero", 4), ...
%!          @() extendsignal ("abc"), @() extendsignal (1:5, "zero", 2.5)};
%! for k = 1:numel (calls)
%!   try
%!     calls{k} ();
%!   catch err
%!     ids{k} = err.identifier;
%!   end
%! end
%! assert (ids, {"wavetide:extendsignal:unknownRule", "wavetide:extendsignal:targetTooShort", ...
%!               "wavetide:extendsignal:argumentClass", "wavetide:extendsignal:badTarget"});
