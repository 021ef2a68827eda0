## Best basis of a chirp: the cosine-packet table of Orrimac, the basis of
## least Shannon entropy chosen by packetbasis, drawn as a time-frequency
## tiling beside the best single level, above them the chosen blocks of
## each level; the same search on wavelet packets
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
  axes ("position", [0.08 0.68 0.77 0.22]); blocks (mask, d1, n, D);
  title (sprintf ("blocks of the best basis (filled) and of the best single level (outlined)"));
  axes ("position", [0.08 0.13 0.34 0.43]); tiling (T, mask, n, D);
  title (sprintf ("best basis, entropy %.2f", cost));
  axes ("position", [0.51 0.13 0.34 0.43]); tiling (T, level, n, D);
  title (sprintf ("best single level (%d), entropy %.2f", d1 - 1, single));
  cb = colorbar ();                                     # one scale for both
  set (cb, "position", [0.87 0.13 0.02 0.43]);
  ylabel (cb, "log_{10} |coefficient|");
  file = fullfile (outdir, "best_basis.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (the chosen blocks per level; |coefficients| of the chosen blocks, time across, frequency up)\n", file);
endfunction

## The blocks of every level as a strip of time (level 0 on top): the chosen
## ones filled, those of the best single level outlined.
function blocks (mask, d1, n, D)
  hold on;
  for d = 0:D
    patch ([0 1 1 0], d + [-0.4 -0.4 0.4 0.4], [0.9 0.9 0.9], "edgecolor", "none");
  endfor
  for d = 0:D
    f = n / 2^d;
    for b = 0:2^d-1
      x = [b b+1 b+1 b] / 2^d; y = d + [-0.4 -0.4 0.4 0.4];
      if (mask(b*f+1, d+1))
        patch (x, y, [0.15 0.3 0.6], "edgecolor", "w");
      endif
      if (d == d1 - 1)
        plot (x([1:4 1]), y([1:4 1]), "color", [0.85 0.35 0.1], "linewidth", 1.5);
      endif
    endfor
  endfor
  hold off;
  axis ([0 1 -0.6 D+0.6]); axis ij;
  set (gca (), "ytick", 0:D, "xticklabel", {});
  ylabel ("level");
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
