## A synthetic image with edges through Plattigan: the nested quadrant
## layout of its coefficients, and the image rebuilt by Unplattigan from the
## largest 3 % of them.
function demo_wavelet_2d (outdir)
  n = 256; L = 3;
  [c, r] = meshgrid ((0:n-1) / n);
  img = 0.3 * sin (2 * pi * c) .* cos (pi * r);              # smooth background
  img += ((c - 0.35) .^ 2 + (r - 0.4) .^ 2 < 0.04);          # disc
  img += 0.7 * (c > 0.6 & c < 0.9 & r > 0.15 & r < 0.45);    # rectangle
  img -= 0.5 * (r > 0.7 & r > 1.4 - c);                      # diagonal edge

  h = orthofilter ("symmlet", 8);
  W = Plattigan (img, L, h);
  keep = 0.03;
  s = sort (abs (W(:)), "descend");
  lambda = s(round (keep * n * n));
  Wt = W .* (abs (W) >= lambda);
  rebuilt = Unplattigan (Wt, L, h);

  err = norm (rebuilt - img, "fro") / norm (img, "fro");
  psnr = 20 * log10 (max (img(:)) - min (img(:))) - 10 * log10 (mean ((rebuilt(:) - img(:)) .^ 2));
  printf ("Plattigan %dx%d, L = %d, symmlet 8: round trip error %.1e\n", n, n, L,
          norm (Unplattigan (W, L, h) - img, "fro") / norm (img, "fro"));
  printf ("kept %d of %d coefficients (%.0f %%): relative error %.4f, PSNR %.1f dB\n",
          nnz (Wt), n * n, 100 * keep, err, psnr);

  fig = figure ("position", [0 0 1200 420], "paperposition", [0 0 12 4.2]);
  colormap (gray (256));
  image_panel (1, img); title ("image");
  image_panel (2, log10 (abs (W) + 1e-3)); hold on;
  for j = L:log2 (n) - 1            # the quadrant borders of each level
    b = 2^j + 0.5;
    plot ([b b], [0.5 2^(j+1)+0.5], "r", [0.5 2^(j+1)+0.5], [b b], "r");
  end
  hold off;
  title ("log_{10} |Plattigan|, level borders in red");
  image_panel (3, rebuilt);
  title (sprintf ("Unplattigan, %.0f %% kept", 100 * keep));
  file = fullfile (outdir, "wavelet_2d.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (image, its quadrant layout, thresholded reconstruction)\n", file);
endfunction

## Image k of three on the 12 x 4.2 inch page, in square axes that it fills,
## its colour bar as tall beside it, with room for the bar's labels before
## the next image and for a title above.
function image_panel (k, v)
  w = 0.72 * 4.2 / 12; left = 0.015 + (k - 1) * 0.33;
  ax = axes ("position", [left, 0.06, w, 0.72]);
  imagesc (v); axis off;
  cb = colorbar ();
  set (ax, "position", [left, 0.06, w, 0.72]);   # colorbar shrinks its axes
  set (cb, "position", [left + w + 0.01, 0.06, 0.012, 0.72]);
endfunction
