## -*- texinfo -*-
## @deftypefn {} {@var{h} =} orthofilter (@var{family}, @var{taps})
## Orthonormal lowpass filter of a compactly supported wavelet, as a row.
##
## @var{family} and the admitted lengths @var{taps}:
## @table @code
## @item "haar"
## 2
## @item "daubechies"
## 4, 6, @dots{}, 20 (extremal phase, @var{taps}/2 vanishing moments)
## @item "symmlet"
## 8, 10, @dots{}, 20 (least asymmetric, @var{taps}/2 vanishing moments)
## @item "coiflet"
## 6, 12, 18, 24, 30 (@var{taps}/3 vanishing moments of the wavelet and
## @var{taps}/3 - 1 of the scaling function about tap @var{taps}/3)
## @end table
##
## The filter has unit norm and sums to @code{sqrt (2)}; its even shifts are
## orthonormal, and it is oriented for @code{Jostrane}, @code{Unjostrane},
## @code{Plattigan}, @code{Wendlock} and the other periodic transforms:
## @code{Jostrane} with it gives the usual coefficients.  The taps are
## computed, not tabulated: the Daubechies and symmlet filters by spectral
## factorisation (a zero of each reciprocal pair of the half-band polynomial:
## inside the unit circle for "daubechies", the least asymmetric choice of
## the classical table for "symmlet"), the coiflets by Gauss-Newton on their
## defining equations; each is then refined by Newton's method on the
## orthonormality and moment equations to full double precision.
##
## Example:
## @example
## h = orthofilter ("daubechies", 4)
##   @result{} 0.482963   0.836516   0.224144  -0.129410
## w = Jostrane (ones (1, 8), 0, h);    # a constant is all coarse
## @end example
## @seealso{biorthofilter, Jostrane}
## @end deftypefn

function h = orthofilter (family, taps)
  if (nargin != 2)
    print_usage ();
  endif
  known = "known families and lengths: haar 2; daubechies 4, 6, ..., 20; symmlet 8, 10, ..., 20; coiflet 6, 12, 18, 24, 30";
  if (! ischar (family) || ! isrow (family))
    error ("orthofilter: FAMILY must be a string; %s", known);
  endif
  if (! isnumeric (taps) || ! isscalar (taps) || ! isreal (taps))
    error ("orthofilter: TAPS must be a number; %s", known);
  endif
  family = lower (family);
  switch (family)
    case "haar"
      lengths = 2;
    case "daubechies"
      lengths = 4:2:20;
    case "symmlet"
      lengths = 8:2:20;
    case "coiflet"
      lengths = 6:6:30;
    otherwise
      error ("orthofilter: unknown family '%s'; %s", family, known);
  endswitch
  if (! any (taps == lengths))
    error ("orthofilter: no %s filter with %g taps; %s", family, taps, known);
  endif

  switch (family)
    case "haar"
      h = [1 1] / sqrt (2);
    case "daubechies"
      N = taps / 2;
      z = halfband_zeros (N);
      h = polish (from_zeros (N, z(:, 1)), N, 0);
    case "symmlet"
      N = taps / 2;
      h = polish (least_asymmetric (N), N, 0);
    case "coiflet"
      h = coiflet (taps / 6);
  endswitch
endfunction

## Zeros of the half-band factor, one row per reciprocal pair: column 1
## inside the unit circle, column 2 its reciprocal.  For N vanishing moments
## |H|^2 = cos^(2N)(w/2) P(sin^2(w/2)), P(y) = sum_k binom(N-1+k, k) y^k;
## a zero y of P gives the pair z, 1/z with z + 1/z = 2 - 4y.
function z = halfband_zeros (N)
  c = arrayfun (@(k) nchoosek (N - 1 + k, k), 0:N-1);
  y = roots (fliplr (c));
  z = zeros (numel (y), 2);
  for i = 1:numel (y)
    r = roots ([1, -(2 - 4 * y(i)), 1]);
    [~, j] = sort (abs (r));
    z(i, :) = r(j).';
  endfor
endfunction

## The real filter with N zeros at -1 and the zeros z, scaled to sum sqrt(2).
function h = from_zeros (N, z)
  h = real (poly ([-ones(1, N), z(:).']));
  h *= sqrt (2) / sum (h);
endfunction

## The least asymmetric choice of zeros: one zero of each reciprocal pair
## (conjugate pairs taken together), the pairs in order of increasing angle,
## "i" taking the zero inside the unit circle and "o" the one outside.  These
## are the choices of the classical least-asymmetric table; each gives a phase
## close to linear, and the pattern also fixes the orientation of the filter.
function h = least_asymmetric (N)
  patterns = {"io", "oi", "oio", "oii", "ioio", "iooi", "oioio"};   # N = 4 .. 10
  z = halfband_zeros (N);
  z = z(imag (z(:, 1)) >= -1e-12 * abs (z(:, 1)), :);   # one of each conjugate pair
  [~, order] = sort (angle (z(:, 1)));
  z = z(order, :);
  pattern = patterns{N - 3};
  zz = [];
  for i = 1:rows (z)
    zi = z(i, 1 + (pattern(i) == "o"));
    if (abs (imag (zi)) <= 1e-12 * abs (zi))
      zz(end+1) = real (zi);
    else
      zz(end+(1:2)) = [zi, conj(zi)];
    endif
  endfor
  h = from_zeros (N, zz);
endfunction

## Coiflet with 2K wavelet moments and 2K - 1 scaling moments about tap 2K.
## Gauss-Newton from a windowed half-band sinc centred there; of the several
## solutions of these equations it reaches the classical one, the most
## concentrated about tap 2K.
function h = coiflet (K)
  n = 6 * K;
  k = 0:n-1;
  h = sinc ((k - 2 * K) / 2) .* exp (-((k - 2 * K) / K) .^ 2);
  h *= sqrt (2) / sum (h);
  h = polish (h, 2 * K, 2 * K - 1);
endfunction

## Newton (Gauss-Newton when overdetermined) on the equations
##   sum_k h(k) h(k + 2l) = delta(l)                  l = 0 .. n/2 - 1
##   sum_k (-1)^k k^p h(k) = 0                         p = 0 .. Nw - 1
##   sum_k (k - n/3)^p h(k) = 0                        p = 1 .. Ns
function h = polish (h, Nw, Ns)
  n = numel (h);
  k = 0:n-1;
  t = (k - (n - 1) / 2) / ((n - 1) / 2);
  s = (k - n / 3) / n;
  A = zeros (Nw + Ns, n);
  for p = 0:Nw-1
    A(p+1, :) = (-1) .^ k .* t .^ p;
  endfor
  for p = 1:Ns
    A(Nw+p, :) = s .^ p;
  endfor
  ## Gauss-Newton with the plain moment rows finds the solution; the last
  ## steps use an orthonormal basis of the same rows, which is better
  ## conditioned at high orders.
  h = newton (h, A, 1e-9);
  [Q, ~] = qr (A.', 0);
  h = newton (h, Q.', 1e-15);
  if (norm (equations (h, Q.')) > 1e-14)
    error ("orthofilter: refinement did not converge");
  endif
endfunction

function h = newton (h, A, tol)
  for iter = 1:50
    [F, Jac] = equations (h, A);
    step = -(Jac \ F).';
    h += step;
    if (norm (step) < tol)
      break;
    endif
  endfor
endfunction

function [F, Jac] = equations (h, A)
  n = numel (h);
  m = n / 2;
  F = [zeros(m, 1); A * h.'];
  Jac = [zeros(m, n); A];
  for l = 0:m-1
    a = h(1:n-2*l); b = h(1+2*l:n);
    F(l+1) = sum (a .* b) - (l == 0);
    Jac(l+1, 1:n-2*l) += b;
    Jac(l+1, 1+2*l:n) += a;
  endfor
endfunction
