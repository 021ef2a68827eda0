% -*- texinfo -*-
% @deftypefn  {} {@var{h} =} orthofilter (@var{name})
% @deftypefnx {} {@var{h} =} orthofilter (@var{family}, @var{taps})
% Orthonormal lowpass filter of a compactly supported wavelet, as a row.
%
% @var{name} is one of the short names in common use, with as many
% vanishing moments as its number says:
% @table @code
% @item "haar", "db1"
% the 2-tap Haar filter
% @item "db2" @dots{} "db10"
% Daubechies (extremal phase), @math{2N} taps for "dbN"
% @item "sym4" @dots{} "sym10"
% symmlets (least asymmetric), @math{2N} taps for "symN"
% @item "coif1" @dots{} "coif5"
% coiflets, @math{6N} taps for "coifN"
% @end table
% Each is the same filter as @var{family} and @var{taps}:
% @table @code
% @item "haar"
% 2
% @item "daubechies"
% 4, 6, @dots{}, 20 (extremal phase, @var{taps}/2 vanishing moments)
% @item "symmlet"
% 8, 10, @dots{}, 20 (least asymmetric, @var{taps}/2 vanishing moments)
% @item "coiflet"
% 6, 12, 18, 24, 30 (@var{taps}/3 vanishing moments of the wavelet and
% @var{taps}/3 - 1 of the scaling function about tap @var{taps}/3)
% @end table
%
% The filter has unit norm and sums to @code{sqrt (2)}; its even shifts are
% orthonormal, and it is oriented for @code{Jostrane}, @code{Unjostrane},
% @code{Plattigan}, @code{Wendlock} and the other periodic transforms:
% @code{Jostrane} with it gives the usual coefficients.  It equals
% PyWavelets' @code{Wavelet (name).rec_lo} to @math{10^{-12}} (the
% symmlets to @math{5 10^{-12}}, the accuracy of PyWavelets' table).  With
% @var{m} taps and @math{c = m/2 - 1}, PyWavelets' periodized transform of
% a signal of @math{n = 2^J} values relates to @code{Jostrane} thus:
% @example
% @group
% w = Jostrane (circshift (x, -c), L, h);          # x advanced by c samples
% [circshift(w(1:2^L), c), -w(2^L+1:n)]            # coarse rolled by c, details negated
%   == concatenation of pywt.wavedec (x, name, mode="periodization", level=J-L)
% @end group
% @end example
% The bands come in the same order (coarse, then the details from level
% @var{L} up to the finest); @code{Jostrane}'s help says more.
%
% The Daubechies and symmlet filters are computed by spectral
% factorisation (a zero of each reciprocal pair of the half-band polynomial:
% inside the unit circle for "daubechies", the least asymmetric choice of
% the classical table for "symmlet"), each refined by Newton's method on its
% orthonormality and moment equations to full double precision.  The
% coiflets are tabulated, computed in extended precision.
%
% Example:
% @example
% h = orthofilter ("db2")
%   @result{} 0.482963   0.836516   0.224144  -0.129410
% w = Jostrane (ones (1, 8), 0, h);    # a constant is all coarse
% @end example
% @seealso{biorthofilter, Jostrane, packettable}
% @end deftypefn

function h = orthofilter (family, taps)
  if (nargin == 1)
    [family, taps] = family_of (family);
  elseif (nargin ~= 2)
    error ('wavetide:orthofilter:usage', 'orthofilter: call as h = orthofilter (name) or h = orthofilter (family, taps)');
  end
  known = 'known families and lengths: haar 2; daubechies 4, 6, ..., 20; symmlet 8, 10, ..., 20; coiflet 6, 12, 18, 24, 30';
  if (~ ischar (family) || ~ isrow (family))
    error ('wavetide:orthofilter:badFamily', 'orthofilter: FAMILY must be a string; %s', known);
  end
  if (~ isnumeric (taps) || ~ isscalar (taps) || ~ isreal (taps))
    error ('wavetide:orthofilter:badTaps', 'orthofilter: TAPS must be a number; %s', known);
  end
  family = lower (family);
  switch (family)
    case 'haar'
      lengths = 2;
    case 'daubechies'
      lengths = 4:2:20;
    case 'symmlet'
      lengths = 8:2:20;
    case 'coiflet'
      lengths = 6:6:30;
    otherwise
      error ('wavetide:orthofilter:unknownFamily', 'orthofilter: unknown family ''%s''; %s', family, known);
  end
  if (~ any (taps == lengths))
    error ('wavetide:orthofilter:unknownLength', 'orthofilter: no %s filter with %g taps; %s', family, taps, known);
  end

  switch (family)
    case 'haar'
      h = [1 1] / sqrt (2);
    case 'daubechies'
      N = taps / 2;
      z = halfband_zeros (N);
      h = polish (from_zeros (N, z(:, 1)), N);
    case 'symmlet'
      N = taps / 2;
      h = polish (least_asymmetric (N), N);
    case 'coiflet'
      h = coiflet (taps / 6);
  end
end

% The family and length of a short name: dbN, symN, coifN, haar.
function [family, taps] = family_of (name)
  known = 'known names: haar, db1 ... db10, sym4 ... sym10, coif1 ... coif5';
  if (~ ischar (name) || ~ isrow (name))
    error ('wavetide:orthofilter:badName', 'orthofilter: NAME must be a string; %s', known);
  end
  tok = regexp (lower (name), '^(haar|db|sym|coif)(\d*)$', 'tokens', 'once');
  if (isempty (tok))
    error ('wavetide:orthofilter:unknownName', 'orthofilter: unknown filter name ''%s''; %s', name, known);
  end
  N = str2double (tok{2});
  switch (tok{1})
    case 'haar'
      ok = isempty (tok{2});
      family = 'haar'; taps = 2;
    case 'db'
      ok = N >= 1 && N <= 10;
      family = 'daubechies'; taps = 2 * N;
      if (N == 1)
        family = 'haar';
      end
    case 'sym'
      ok = N >= 4 && N <= 10;
      family = 'symmlet'; taps = 2 * N;
    case 'coif'
      ok = N >= 1 && N <= 5;
      family = 'coiflet'; taps = 6 * N;
  end
  if (~ ok)
    error ('wavetide:orthofilter:unknownName', 'orthofilter: unknown filter name ''%s''; %s', name, known);
  end
end

% Zeros of the half-band factor, one row per reciprocal pair: column 1
% inside the unit circle, column 2 its reciprocal.  For N vanishing moments
% |H|^2 = cos^(2N)(w/2) P(sin^2(w/2)), P(y) = sum_k binom(N-1+k, k) y^k;
% a zero y of P gives the pair z, 1/z with z + 1/z = 2 - 4y.
function z = halfband_zeros (N)
  c = arrayfun (@(k) nchoosek (N - 1 + k, k), 0:N-1);
  y = roots (fliplr (c));
  z = zeros (numel (y), 2);
  for i = 1:numel (y)
    r = roots ([1, -(2 - 4 * y(i)), 1]);
    [~, j] = sort (abs (r));
    z(i, :) = r(j).';
  end
end

% The real filter with N zeros at -1 and the zeros z, scaled to sum sqrt(2).
function h = from_zeros (N, z)
  h = real (poly ([-ones(1, N), z(:).']));
  h = h * (sqrt (2) / sum (h));
end

% The least asymmetric choice of zeros: one zero of each reciprocal pair
% (conjugate pairs taken together), the pairs in order of increasing angle,
% "i" taking the zero inside the unit circle and "o" the one outside.  These
% are the choices of the classical least-asymmetric table; each gives a phase
% close to linear, and the pattern also fixes the orientation of the filter.
function h = least_asymmetric (N)
  patterns = {'io', 'oi', 'oio', 'oii', 'ioio', 'iooi', 'oioio'};   % N = 4 .. 10
  z = halfband_zeros (N);
  z = z(imag (z(:, 1)) >= -1e-12 * abs (z(:, 1)), :);   % one of each conjugate pair
  [~, order] = sort (angle (z(:, 1)));
  z = z(order, :);
  pattern = patterns{N - 3};
  zz = [];
  for i = 1:size (z, 1)
    zi = z(i, 1 + (pattern(i) == 'o'));
    if (abs (imag (zi)) <= 1e-12 * abs (zi))
      zz(end+1) = real (zi);
    else
      zz(end+(1:2)) = [zi, conj(zi)];
    end
  end
  h = from_zeros (N, zz);
end

% Coiflets with 2K wavelet moments and 2K - 1 scaling moments about tap 2K,
% K = 1 .. 5.  Their defining equations are too badly conditioned for double
% precision (errors near 1e-7 at 30 taps), so the taps are tabulated as
% tools/coiflet_taps.py computes them in 60-digit arithmetic.
function h = coiflet (K)
  taps = {
      [-0.07273261951252645 0.33789766245748176 0.85257202021160039 ...
        0.38486484686485772 -0.07273261951252645 -0.015655728135791993]
      [0.016387336463203641 -0.041464936786871777 -0.067372554723725595 ...
        0.38611006682276283 0.81272363544941351 0.41700518442323903 ...
        -0.076488599078280761 -0.059434418646431085 0.02368017194684777 ...
        0.0056114348193688343 -0.0018232088709110321 -0.00072054944552034698]
      [-0.0037935128643808015 0.0077825964256727454 0.023452696142077165 ...
        -0.065771911281469364 -0.061123390002972539 0.40517690240911819 ...
        0.79377722262608719 0.42848347637737 -0.071799821619154838 ...
        -0.082301927106299813 0.034555027573297731 0.015880544863669452 ...
        -0.0090079761367306242 -0.0025745176881367968 0.0011175187708306303 ...
        0.00046621695982040288 -7.0983302506379004e-05 -3.4599773197272774e-05]
      [0.00089231390253700297 -0.0016294924252267858 -0.0073461679362680499 ...
        0.016068947131575025 0.026682304669604834 -0.081266710249193727 ...
        -0.056077319603569258 0.41530842700068227 0.78223893442428261 ...
        0.43438603311435653 -0.066627472366817153 -0.096220424535952642 ...
        0.039334422605589149 0.025082253337949608 -0.015211728187697211 ...
        -0.0056582838001308835 0.0037514346971460862 0.0012665610789256603 ...
        -0.00058902022463321643 -0.00025997433712225682 6.2338854312787178e-05 ...
        3.1229861599195265e-05 -3.2596479400307506e-06 -1.7849909144933466e-06]
      [-0.000212081862067494 0.00035857774116175768 0.0021782943778456947 ...
        -0.0041593126275786393 -0.010131584846900275 0.023408322118927783 ...
        0.028169744270532353 -0.091921588060086087 -0.052046670253554757 ...
        0.42157126673075435 0.77429362286032744 0.43798230665916332 ...
        -0.062037751574981953 -0.10556315130733723 0.041287530472117834 ...
        0.032674799467057349 -0.019758391600965465 -0.0091595073386761625 ...
        0.0067615202206204169 0.0024315754425382886 -0.0016616273039298788 ...
        -0.00063755892612588115 0.00030185794166824473 0.00014035632812373243 ...
        -4.1219861924265501e-05 -2.1270221672515614e-05 3.7007277113394796e-06 ...
        2.0612203985788783e-06 -1.6237995172048335e-07 -9.6040101127678915e-08]
  };
  h = taps{K};
end

% Newton's method on the equations of an orthonormal filter with Nw
% vanishing wavelet moments (n = 2 Nw taps, as many equations as unknowns):
%   sum_k h(k) h(k + 2l) = delta(l)         l = 0 .. Nw - 1
%   sum_k (-1)^k t(k)^p h(k) = 0             p = 0 .. Nw - 1
% with t the tap index centred and scaled into [-1, 1].
function h = polish (h, Nw)
  n = numel (h);
  k = 0:n-1;
  t = (k - (n - 1) / 2) / ((n - 1) / 2);
  A = zeros (Nw, n);
  for p = 0:Nw-1
    A(p+1, :) = (-1) .^ k .* t .^ p;
  end
  for iter = 1:30
    [F, Jac] = equations (h, A);
    step = -(Jac \ F).';
    h = h + (step);
    if (norm (step) < 4 * eps)
      break;
    end
  end
  if (norm (equations (h, A)) > 1e-14)
    error ('wavetide:orthofilter:noConvergence', 'orthofilter: refinement did not converge');
  end
end

function [F, Jac] = equations (h, A)
  n = numel (h);
  m = n / 2;
  F = [zeros(m, 1); A * h.'];
  Jac = [zeros(m, n); A];
  for l = 0:m-1
    a = h(1:n-2*l); b = h(1+2*l:n);
    F(l+1) = sum (a .* b) - (l == 0);
    Jac(l+1, 1:n-2*l) = Jac(l+1, 1:n-2*l) + (b);
    Jac(l+1, 1+2*l:n) = Jac(l+1, 1+2*l:n) + (a);
  end
end

%!test # the help example: D4 to full precision, and Jostrane of a constant
%! h = orthofilter ("db2");
%! r3 = sqrt (3);   # closed form (1 + r3, 3 + r3, 3 - r3, 1 - r3) / (4 sqrt 2)
%! assert (h, [1+r3, 3+r3, 3-r3, 1-r3] / (4 * sqrt (2)), 4e-16);
%! assert (h, [0.4829629131445341 0.8365163037378079 0.2241438680420134 -0.1294095225512604], 2e-16);
%! w = Jostrane (ones (1, 8), 0, h);
%! assert (w, [sqrt(8) zeros(1, 7)], 1e-14);

%!test # every short name is its family and length
%! names = [{"haar", "db1"}, arrayfun(@(N) sprintf("db%d", N), 2:10, "UniformOutput", false), ...
%!          arrayfun(@(N) sprintf("sym%d", N), 4:10, "UniformOutput", false), ...
%!          arrayfun(@(N) sprintf("coif%d", N), 1:5, "UniformOutput", false)];
%! same = [{{"haar", 2}, {"haar", 2}}, arrayfun(@(N) {"daubechies", 2*N}, 2:10, "UniformOutput", false), ...
%!         arrayfun(@(N) {"symmlet", 2*N}, 4:10, "UniformOutput", false), ...
%!         arrayfun(@(N) {"coiflet", 6*N}, 1:5, "UniformOutput", false)];
%! for k = 1:numel (names)
%!   assert (orthofilter (names{k}), orthofilter (same{k}{:}));
%! end
%! assert (orthofilter ("DB4"), orthofilter ("daubechies", 8));

%!test # every filter: a row, unit norm, sum sqrt 2, even shifts orthonormal, moments
%! fams = {"haar", 2; "daubechies", 4:2:20; "symmlet", 8:2:20; "coiflet", 6:6:30};
%! for f = 1:rows (fams)
%!   for n = fams{f, 2}
%!     h = orthofilter (fams{f, 1}, n);
%!     assert (size (h), [1 n]);
%!     assert (sum (h), sqrt (2), 1e-14);
%!     for l = 0:n/2-1
%!       assert (sum (h(1:n-2*l) .* h(1+2*l:n)), double (l == 0), 1e-14);
%!     end
%!     k = (0:n-1) - (n - 1) / 2;
%!     Nw = n / 2 * ! strcmp (fams{f, 1}, "coiflet") + n / 3 * strcmp (fams{f, 1}, "coiflet");
%!     for p = 0:Nw-1   # wavelet moments, relative to the size of the terms
%!       assert (sum ((-1) .^ (0:n-1) .* k .^ p .* h) / sum (abs (k .^ p .* h)), 0, 1e-12);
%!     end
%!     if (strcmp (fams{f, 1}, "coiflet"))   # scaling moments about tap n/3
%!       c = (0:n-1) - n / 3;
%!       for p = 1:n/3-1
%!         assert (sum (c .^ p .* h) / sum (abs (c .^ p .* h)), 0, 1e-12);
%!       end
%!     end
%!   end
%! end

%!testif ; ! system ("/usr/bin/python3 -c 'import pywt' 2>/dev/null")
%! ## agreement with PyWavelets' rec_lo, name by name.  PyWavelets' symmlet
%! ## table holds its own orthonormality only to about 1e-12, so symmlets
%! ## are compared at 5e-12, the others at 1e-12.
%! names = [{"haar"}, arrayfun(@(N) sprintf("db%d", N), 1:10, "UniformOutput", false), ...
%!          arrayfun(@(N) sprintf("sym%d", N), 4:10, "UniformOutput", false), ...
%!          arrayfun(@(N) sprintf("coif%d", N), 1:5, "UniformOutput", false)];
%! script = [tempname() ".py"];
%! fid = fopen (script, "w");
%! fprintf (fid, "import pywt\nfor n in [%s]: print(' '.join('%%.17g' %% v for v in pywt.Wavelet(n).rec_lo))\n", ...
%!          strjoin (strcat ("'", names, "'"), ","));
%! fclose (fid);
%! [st, out] = system (["/usr/bin/python3 " script]);
%! delete (script);
%! assert (st, 0);
%! lines = strsplit (strtrim (out), "\n");
%! assert (numel (lines), numel (names));
%! for k = 1:numel (names)
%!   assert (orthofilter (names{k}), str2num (lines{k}), 1e-12 + 4e-12 * strncmp (names{k}, "sym", 3));
%! end

%!test # failures carry an identifier
%! for c = {{{"db11"}, "unknownName"}, {{4}, "badName"}, {{"db", 4}, "unknownFamily"}, ...
%!          {{"symmlet", 6}, "unknownLength"}, {{"haar", "2"}, "badTaps"}, {{}, "usage"}}
%!   err.identifier = "";
%!   try
%!     orthofilter (c{1}{1}{:});
%!   catch err
%!   end
%!   assert (err.identifier, ["wavetide:orthofilter:" c{1}{2}]);
%! end
%!error <unknown family 'db'; known families and lengths: haar 2; daubechies 4, 6, ..., 20> h = orthofilter ("db", 4)
%!error <no symmlet filter with 6 taps> h = orthofilter ("symmlet", 6)
%!error <no daubechies filter with 5 taps> h = orthofilter ("daubechies", 5)
%!error <no coiflet filter with 8 taps> h = orthofilter ("coiflet", 8)
%!error <TAPS must be a number> h = orthofilter ("haar", "2")
%!error <call as h = orthofilter \(name\) or> h = orthofilter ()
%!error <unknown filter name 'db11'; known names: haar, db1 ... db10, sym4 ... sym10, coif1 ... coif5> h = orthofilter ("db11")
%!error <unknown filter name 'sym3'> h = orthofilter ("sym3")
%!error <unknown filter name 'coif'> h = orthofilter ("coif")
%!error <unknown filter name 'haar2'> h = orthofilter ("haar2")
%!error <NAME must be a string> h = orthofilter (4)
