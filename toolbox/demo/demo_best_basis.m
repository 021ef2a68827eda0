## Best basis of a chirp: the cosine-packet table of Orrimac, the basis of
## least Shannon entropy chosen by packetbasis, drawn as a time-frequency
## tiling beside the best single level; the same search on wavelet packets
## from packettable.
function demo_best_basis (outdir)
  n = 1024; D = 7;
  t = (0:n-1) / n;
  x = cos (2 * pi * (30 * t + 220 * t .^ 2)) + 0.5 * cos (2 * pi * 400 * t) .* (t > 0.6);

  T = Orrimac (x, D, 0);
  [mask, cost] = packetbasis (T, "shannon");
  p = T .^ 2 / sumsq (x);
  levels = -sum (p .* log (p + (p == 0)), 1);
  [single, d1] = min (levels);
  printf ("cosine packets, n = %d, D = %d: entropy of each level %s\n", n, D, mat2str (levels, 3));
  printf ("best basis: entropy %.3f (best single level %d: %.3f), blocks per level %s, Unorrimac error %.1e\n",
          cost, d1 - 1, single, mat2str (sum (mask) ./ (n ./ 2 .^ (0:D))),
          norm (Unorrimac (T .* mask) - x) / norm (x));

  h = orthofilter ("sym8");
  P = packettable (x, D, h);
  [pmask, pcost] = packetbasis (P, "shannon");
  printf ("wavelet packets (sym8): best basis entropy %.3f; Tessaroy error %.1e\n",
          pcost, norm (Tessaroy (P .* pmask, h) - x) / norm (x));

  level = false (n, D + 1);
  level(:, d1) = true;
  fig = figure ("paperposition", [0 0 9.6 6]);
  axes ("position", [0.08 0.12 0.36 0.78]); tiling (T, mask, n, D);
  title (sprintf ("best basis, entropy %.2f", cost));
  axes ("position", [0.53 0.12 0.36 0.78]); tiling (T, level, n, D);
  title (sprintf ("best single level (%d), entropy %.2f", d1 - 1, single));
  cb = colorbar ();                                     # one scale for both
  set (cb, "position", [0.91 0.12 0.02 0.78]);
  ylabel (cb, "log_{10} |coefficient|");
  file = fullfile (outdir, "best_basis.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (|coefficients| of the chosen blocks, time across, frequency up)\n", file);
endfunction

## Draws the chosen blocks of a cosine-packet table: coefficient k of block b
## of level d covers times b/2^d .. (b+1)/2^d and frequencies k 2^d ..
## (k+1) 2^d on an image of 2^D time columns and n frequency rows.
function tiling (T, mask, n, D)
  img = zeros (n, 2 ^ D);
  for d = 0:D
    f = n / 2^d;
    for b = find (mask(1:f:end, d+1)).' - 1
      c = abs (T(b*f+1:(b+1)*f, d+1));
      img(:, b*2^(D-d)+1:(b+1)*2^(D-d)) = repmat (kron (c, ones (2^d, 1)), 1, 2^(D-d));
    endfor
  endfor
  imagesc ([0 1], [0 n/2], log10 (img + 1e-3));
  axis xy; colormap (flipud (gray ()));
  caxis ([-3 1]);
  xlabel ("time"); ylabel ("frequency");
endfunction
