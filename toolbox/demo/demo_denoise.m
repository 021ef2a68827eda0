## Denoising a piecewise-smooth signal: Jostrane, hard thresholding of the
## detail coefficients at the universal threshold, Unjostrane.
function demo_denoise (outdir)
  n = 1024; L = 4;
  t = (0:n-1) / n;
  clean = 4 * sin (4 * pi * t) - sign (t - 0.3) - sign (0.72 - t);
  clean(t > 0.5 & t < 0.6) += 2;
  sigma = 0.5;
  randn ("state", 7);
  noisy = clean + sigma * randn (1, n);

  h = orthofilter ("symmlet", 8);
  w = Jostrane (noisy, L, h);
  lambda = sigma * sqrt (2 * log (n));
  detail = (2^L + 1):n;
  w(detail) .*= abs (w(detail)) > lambda;
  denoised = Unjostrane (w, L, h);

  rms = @(e) sqrt (mean (e .^ 2));
  printf ("noise rms %.3f -> after thresholding %.3f (%d of %d coefficients kept)\n",
          rms (noisy - clean), rms (denoised - clean), nnz (w), n);

  fig = figure ();
  panel (2, 1, 1); plot (t, noisy, "color", [0.6 0.6 0.6], t, clean, "k");
  legend ("noisy", "clean", "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-8 10]);
  title (sprintf ("noisy signal (sigma %.1f) and the clean one", sigma));
  panel (2, 1, 2); plot (t, denoised, "b", t, clean, "k");
  legend ("denoised", "clean", "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-8 10]);
  title (sprintf ("Jostrane, hard threshold %.2f, Unjostrane", lambda));
  file = fullfile (outdir, "denoise.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (noisy vs denoised piecewise-smooth signal)\n", file);
endfunction
