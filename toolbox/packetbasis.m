% -*- texinfo -*-
% @deftypefn  {} {[@var{mask}, @var{cost}] =} packetbasis (@var{T}, @var{costname})
% @deftypefnx {} {[@var{mask}, @var{cost}] =} packetbasis (@var{T}, @var{costname}, @var{param})
% Best basis of a wavelet-packet or cosine-packet table.
%
% @var{T} is an @math{n x (D + 1)} table from @code{packettable} or
% @code{Orrimac}, @math{n = 2^J}, @math{0 <= D <= J}: block @math{b} of
% level @math{d} (rows @math{b n/2^d + 1} .. @math{(b + 1) n/2^d} of
% column @math{d + 1}) has the children @math{2b} and @math{2b + 1} at
% level @math{d + 1}, in its own rows.  A basis is a set of blocks that
% covers every row exactly once.  Each block costs the sum of a cost of
% its coefficients @var{c}; @var{costname} is
% @table @code
% @item "shannon"
% @code{-sum (p .* log (p))} with @code{p = c.^2 / E}, @var{E} the
% energy of the signal (of column 1), @code{0 log 0 = 0}
% @item "logenergy"
% @code{sum (log (c.^2))}, with @code{log 0} taken as 0
% @item "lp"
% @code{sum (abs (c) .^ p)}, @var{param} = @var{p}, @math{0 < p < 2}
% @item "threshold"
% the number of coefficients with @code{abs (c) > t}, @var{param} = @var{t}
% @end table
% The search runs bottom-up, from the deepest level: a block is kept when
% its cost is no larger than the sum of the best costs of its two
% children, otherwise its children's choice stands.  Since the costs are
% additive this finds a basis of least total cost.
%
% @var{mask} is an @math{n x (D + 1)} logical table, true on the rows of
% the chosen blocks; @var{cost} is its total cost.
% @code{Tessaroy (T .* mask, h)} (for a table of @code{packettable} with
% filter @var{h}) and @code{Unorrimac (T .* mask)} return the signal.  A
% NaN in @var{T} makes its blocks' costs, and @var{cost}, NaN.
%
% Example:
% @example
% x = cos (2 * pi * 100 * ((1:1024) / 1024) .^ 2);     # a chirp
% T = Orrimac (x, 6, 0);
% [mask, cost] = packetbasis (T, "shannon");
%   @result{} cost = 3.7039
% sum (mask)                                            # rows chosen at levels 0 .. 6
%   @result{} 0   0   0   256   704   32   32
% y = Unorrimac (T .* mask);                            # x again
% @end example
% @seealso{packettable, Orrimac, Tessaroy, Unorrimac}
% @end deftypefn

function [mask, cost] = packetbasis (T, costname, param)
  if (nargin < 2 || nargin > 3)
    error ('wavetide:packetbasis:usage', 'packetbasis: call as [mask, cost] = packetbasis (T, costname) or packetbasis (T, costname, param)');
  end
  if (~ isnumeric (T) || ~ isreal (T) || ndims (T) > 2)
    error ('wavetide:packetbasis:argumentClass', 'packetbasis requires a real numeric table');
  end
  [n, columns] = size (T);
  J = round (log2 (n));
  if (n < 1 || 2 ^ J ~= n)
    error ('wavetide:packetbasis:dyadicLength', 'packetbasis requires dyadic length');
  end
  D = columns - 1;
  if (D < 0 || D > J)
    error ('wavetide:packetbasis:columnCount', 'packetbasis requires a table of n rows and 1 ... log2(n) + 1 columns');
  end
  valid = 'valid costs: "shannon", "logenergy", "lp" (with p), "threshold" (with t)';
  if (~ ischar (costname))
    error ('wavetide:packetbasis:unknownCost', 'packetbasis: unknown cost; %s', valid);
  end
  switch (lower (costname))
    case 'shannon'
      E = sum (T(:, 1) .^ 2);
      p = T .^ 2 / (E + (E == 0));        % an all-zero signal costs 0
      C = -p .* log (p);
      C(p == 0) = 0;
    case 'logenergy'
      C = log (T .^ 2);
      C(T == 0) = 0;
    case 'lp'
      if (nargin < 3 || ~ isnumeric (param) || ~ isscalar (param) || ~ (param > 0 && param < 2))
        error ('wavetide:packetbasis:badExponent', 'packetbasis requires 0 < p < 2 for the lp cost');
      end
      C = abs (T) .^ param;
    case 'threshold'
      if (nargin < 3 || ~ isnumeric (param) || ~ isscalar (param) || ~ isfinite (param) || param < 0)
        error ('wavetide:packetbasis:badThreshold', 'packetbasis requires a threshold t that is finite and >= 0');
      end
      C = double (abs (T) > param);
      C(isnan (T)) = NaN;
    otherwise
      error ('wavetide:packetbasis:unknownCost', 'packetbasis: unknown cost ''%s''; %s', costname, valid);
  end

  % Bottom-up: best(b) is the least cost of the subtree of block b.
  keep = cell (1, D + 1);
  best = sum (reshape (C(:, D+1), n / 2^D, 2^D), 1);
  keep{D+1} = true (1, 2^D);
  for d = D-1:-1:0
    own = sum (reshape (C(:, d+1), n / 2^d, 2^d), 1);
    children = best(1:2:end) + best(2:2:end);
    keep{d+1} = own <= children;
    best = children;
    best(keep{d+1}) = own(keep{d+1});
  end
  cost = best;

  % Top-down: a block is chosen when it is kept and no ancestor was.
  mask = false (n, D + 1);
  open = true;
  for d = 0:D
    chosen = open & keep{d+1};
    mask(:, d+1) = repelem (chosen, n / 2^d).';
    open = repelem (open & ~ chosen, 2);
  end
end

%!function [cost, masks] = all_bases (C, d, b, D)
%! ## every basis of the subtree of block b of level d: its costs and masks
%! n = rows (C);
%! len = n / 2^d;
%! own = false (n, D + 1);
%! own(b*len+1:(b+1)*len, d+1) = true;
%! cost = sum (C(own)); masks = {own};
%! if (d < D)
%!   [c0, m0] = all_bases (C, d + 1, 2*b, D);
%!   [c1, m1] = all_bases (C, d + 1, 2*b + 1, D);
%!   for i = 1:numel (c0)
%!     for j = 1:numel (c1)
%!       cost(end+1) = c0(i) + c1(j);
%!       masks{end+1} = m0{i} | m1{j};
%!     end
%!   end
%! end
%!endfunction

%!test # against every basis, for every cost, packet and cosine-packet tables
%! h = orthofilter ("db2");
%! randn ("state", 5);
%! costs = {{"shannon"}, {"logenergy"}, {"lp", 1}, {"lp", 0.5}, {"threshold", 0.3}};
%! for n = [1 2 8 16]
%!   J = log2 (n);
%!   for D = 0:J
%!     x = randn (1, n) .* (1:n) / n;
%!     for T = {packettable(x, D, h), Orrimac(x, D, 0)}
%!       E = sum (x .^ 2);
%!       for c = costs
%!         switch (c{1}{1})   # the cost of each coefficient, written out again
%!           case "shannon",   C = -(T{1}.^2 / E) .* log (T{1}.^2 / E); C(T{1} == 0) = 0;
%!           case "logenergy", C = log (T{1}.^2); C(T{1} == 0) = 0;
%!           case "lp",        C = abs (T{1}) .^ c{1}{2};
%!           case "threshold", C = abs (T{1}) > c{1}{2};
%!         end
%!         [all_costs, masks] = all_bases (C, 0, 0, D);
%!         [mask, cost] = packetbasis (T{1}, c{1}{:});
%!         assert (cost, min (all_costs), 1e-12 * max (1, abs (cost)));
%!         assert (sum (C(mask)), cost, 1e-12 * max (1, abs (cost)));
%!         assert (any (cellfun (@(m) isequal (m, mask), masks)));
%!       end
%!     end
%!   end
%! end

%!test # the chosen blocks give the signal back: Tessaroy and Unorrimac
%! h = orthofilter ("sym8");
%! x = cos (2 * pi * 100 * ((1:1024) / 1024) .^ 2);
%! T = packettable (x, 8, h);
%! [mask, cost] = packetbasis (T, "lp", 1);
%! assert (islogical (mask) && isequal (size (mask), [1024 9]));
%! assert (sum (mask, 2), ones (1024, 1));
%! assert (Tessaroy (T .* mask, h), x, 1e-11);
%! T = Orrimac (x, 6, 0);
%! mask = packetbasis (T, "shannon");
%! assert (Unorrimac (T .* mask), x, 1e-11);
%! ## a chirp's best cosine-packet basis beats every single level
%! p = T .^ 2 / sum (x .^ 2);
%! levels = -sum (p .* log (p + (p == 0)), 1);
%! [~, cost] = packetbasis (T, "shannon");
%! assert (cost < min (levels) - 0.03);   # 3.70 against 3.76 at level 4

%!test # ties keep the parent; zeros; NaN; a single level
%! assert (packetbasis (zeros (4, 3), "shannon"), logical ([1 0 0; 1 0 0; 1 0 0; 1 0 0]));
%! [mask, cost] = packetbasis ([1 1; 0 0], "threshold", 0.5);
%! assert (mask, logical ([1 0; 1 0]));
%! assert (cost, 1);
%! [~, cost] = packetbasis ([1 NaN; 2 3], "lp", 1);
%! assert (isnan (cost));
%! assert (packetbasis ([1; 2; 3; 4], "logenergy"), true (4, 1));

%!test # cost names in any case
%! T = [1:8; 8:-1:1; mod(1:8, 3)].';
%! for c = {{"Shannon"}, {"LOGENERGY"}, {"Lp", 1}, {"THRESHOLD", 2}}
%!   [m, v] = packetbasis (T, c{1}{:});
%!   [m0, v0] = packetbasis (T, lower (c{1}{1}), c{1}{2:end});
%!   assert ({m, v}, {m0, v0});
%! end
%!error <packetbasis requires dyadic length> packetbasis (ones (6, 2), "shannon")
%!error <packetbasis requires dyadic length> packetbasis (zeros (0, 1), "shannon")
%!error <packetbasis requires a table of n rows and 1 ... log2\(n\) \+ 1 columns> packetbasis (ones (4, 4), "shannon")
%!error <packetbasis requires a table of n rows> packetbasis (ones (4, 0), "shannon")
%!error <packetbasis: unknown cost 'entropy'; valid costs: "shannon", "logenergy", "lp" \(with p\), "threshold" \(with t\)> packetbasis (ones (4, 2), "entropy")
%!error <packetbasis requires 0 < p < 2 for the lp cost> packetbasis (ones (4, 2), "lp", 2)
%!error <packetbasis requires 0 < p < 2> packetbasis (ones (4, 2), "lp")
%!error <packetbasis requires a threshold t that is finite and .= 0> packetbasis (ones (4, 2), "threshold", -1)
%!error <packetbasis requires a threshold t that is finite and .= 0> packetbasis (ones (4, 2), "threshold", Inf)
%!error <packetbasis requires a real numeric table> packetbasis ("abcd", "shannon")
%!error <packetbasis: call as> packetbasis (ones (4, 2))
