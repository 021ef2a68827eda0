% -*- texinfo -*-
% @deftypefn  {} {@var{gain} =} noisegain (@var{n}, @var{L}, @var{g}, @var{gd})
% @deftypefnx {} {@var{gain} =} noisegain (@var{n}, @var{L}, @var{name})
% Standard deviation of each level's details of @code{Morrowel} for white noise of deviation 1.
%
% @code{Morrowel (x, L, g, gd)} is not orthonormal: its details of level
% @math{j} are @math{x} filtered by an equivalent analysis filter
% @math{f_j} (the lowpass @var{g} of the levels @math{J - 1} down to
% @math{j + 1}, then the highpass, each step downsampled by 2), and for
% white noise of deviation @math{sigma} they have the deviation
% @code{sigma * norm (f_j)}, the same for every coefficient of the level.
% @var{gain} holds these norms, one per level @var{L} @dots{} @math{J - 1}
% (level @var{L} first, a column), for signals of @math{n = 2^J} samples:
% the filter is built from @var{g} and @var{gd} and folded onto the
% @math{n} samples of the period, as the transform wraps it, so the gains
% are exact also when a level's filter is longer than the signal.
% @var{name} is a name @code{biorthofilter} takes (@qcode{"bior4.4"}).
%
% @code{noiselevel} and @code{shrinkdetails} use it for
% @code{Morrowel}'s layout.  With the pairs of @code{biorthofilter}
% (@code{sum (g) = 1}, @code{sum (gd) = 2}) the finest gain is
% @code{norm (gd)}, and from level to coarser level the gains fall
% towards a factor @code{1/sqrt (2)} (of a lowpass @var{g} summing to 1).
%
% Example:
% @example
% gain = noisegain (1024, 7, "bior2.2").'     # levels 7, 8, 9
%   @result{} 0.9379   1.1558   1.2247
% @end example
% @seealso{noiselevel, shrinkdetails, Morrowel, biorthofilter}
% @end deftypefn

function gain = noisegain (n, L, g, gd)
  if (nargin < 3 || nargin > 4)
    error ('wavetide:noisegain:usage', 'noisegain: call as gain = noisegain (n, L, g, gd) or gain = noisegain (n, L, name)');
  end
  if (nargin == 3)
    if (~ ischar (g))
      error ('wavetide:noisegain:usage', 'noisegain: call as gain = noisegain (n, L, g, gd) or gain = noisegain (n, L, name)');
    end
    [g, gd] = biorthofilter (g);
  end
  if (~ isnumeric (g) || ~ isnumeric (gd) || ~ isreal (g) || ~ isreal (gd) || isempty (g) || isempty (gd))
    error ('wavetide:noisegain:badFilter', 'noisegain requires two real, non-empty filters');
  end
  if (~ isnumeric (n) || ~ isscalar (n) || n ~= round (n) || n < 1)
    error ('wavetide:noisegain:dyadicLength', 'noisegain requires dyadic length');
  end
  J = 0;
  while (2 ^ J < n)
    J = J + 1;
  end
  if (2 ^ J ~= n)
    error ('wavetide:noisegain:dyadicLength', 'noisegain requires dyadic length');
  end
  if (~ isnumeric (L) || ~ isscalar (L) || L ~= round (L) || L < 0 || L > J)
    error ('wavetide:noisegain:levelOutOfRange', 'noisegain requires L to be a whole number in 0 ... log2(n)');
  end
  g = double (g(:));
  % The highpass is the centred mirror of gd.  The folded filter's norm
  % depends on the autocorrelations of its factors only, which neither a
  % shift, nor a sign, nor a reversal changes: the plain alternation of gd
  % stands for the centred mirror, and correlation for convolution.
  h = double (gd(:)) .* (-1) .^ (0:numel (gd) - 1).';
  gain = zeros (J - L, 1);
  G = 1;                                  % weights of a coarse value of level j + 1 on x
  for j = J-1:-1:L
    s = 2 ^ (J - 1 - j);                  % samples of x per coarse value
    f = conv (G, spread (h, s));
    gain(j - L + 1) = norm (fold (f, n));
    G = conv (G, spread (g, s));
  end
end

% Filter c with m - 1 zeros between its taps.
function u = spread (c, m)
  u = zeros (m * (numel (c) - 1) + 1, 1);
  u(1:m:end) = c;
end

% The taps of f summed by their index modulo n: the filter a periodic
% signal of n samples sees.
function p = fold (f, n)
  p = accumarray (mod ((0:numel (f) - 1).', n) + 1, f, [n 1]);
end

%!test # the gains are the norms of the rows of the transform's matrix
%! [g9, g7] = biorthofilter ("bior4.4");
%! [g5, g3] = biorthofilter ("bior2.2");
%! for pair = {{g9, g7}, {g7, g9}, {g5, g3}, {[1 1] / 2, [1 1]}, {[0.6 0.3 0.1], [1 -0.5 0.7 0.2]}}   # any filters, symmetric or not
%!   [g, gd] = pair{1}{:};
%!   for n = [1 2 8 64]
%!     J = log2 (n);
%!     W = Morrowel (eye (n), 0, g, gd);    # column k: the transform of the k-th unit signal
%!     rownorm = sqrt (sum (W .^ 2, 2));
%!     for L = 0:J
%!       gain = noisegain (n, L, g, gd);
%!       assert (size (gain), [J - L, 1]);
%!       for j = L:J-1                      # every coefficient of level j has the same gain
%!         assert (rownorm(2^j+1:2^(j+1)), gain(j - L + 1) * ones (2^j, 1), 1e-13);
%!       end
%!     end
%!   end
%! end
%! assert (noisegain (64, 2, "bior2.2"), noisegain (64, 2, g5, g3));
%! assert (noisegain (64, 5, g5, g3), norm (g3));
%!error <noisegain requires dyadic length> noisegain (48, 0, "bior2.2")
%!error <noisegain requires dyadic length> noisegain (0, 0, "bior2.2")
%!error <noisegain requires L to be a whole number in 0 ... log2\(n\)> noisegain (64, 7, "bior2.2")
%!error <noisegain requires two real, non-empty filters> noisegain (64, 2, [], [1 1])
%!error <noisegain: call as> noisegain (64, 2, [1 1])
%!error <biorthofilter: unknown filter name> noisegain (64, 2, "bior9.9")
