## Translation-invariant denoising: Wendlock, hard thresholding of every
## detail column at the universal threshold, Unwendlock; beside the same
## thresholding of the plain periodic transform (Jostrane / Unjostrane).
function demo_wavelet_invariant (outdir)
  n = 2048; L = 4;
  t = (0:n-1) / n;
  clean = 2 * (t > 0.13) - 3 * (t > 0.29) + 1.5 * (t > 0.51) + 2 * (t > 0.67) - 2.5 * (t > 0.83);
  clean += 0.8 * sin (6 * pi * t);
  sigma = 0.4;
  randn ("state", 11);
  noisy = clean + sigma * randn (1, n);
  lambda = sigma * sqrt (2 * log (n));

  h = orthofilter ("symmlet", 8);
  w = Jostrane (noisy, L, h);
  detail = (2^L + 1):n;
  w(detail) .*= abs (w(detail)) > lambda;
  plain = Unjostrane (w, L, h);

  T = Wendlock (noisy, L, h);
  T(:, 2:end) .*= abs (T(:, 2:end)) > lambda;
  invariant = Unwendlock (T, h);

  rms = @(e) sqrt (mean (e .^ 2));
  printf ("noise rms %.3f; Jostrane thresholding %.3f; Wendlock thresholding %.3f\n",
          rms (noisy - clean), rms (plain - clean), rms (invariant - clean));

  fig = figure ("position", [0 0 1000 800], "paperposition", [0 0 10 8]);
  panel (3, 1, 1); plot (t, noisy, "color", [0.6 0.6 0.6], t, clean, "k");
  legend ("noisy", "clean", "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-3 7]);
  title (sprintf ("noisy signal (sigma %.1f) and the clean one", sigma));
  panel (3, 1, 2); plot (t, plain, "r", t, clean, "k");
  legend ("Jostrane denoised", "clean", "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-3 7]);
  title (sprintf ("Jostrane, hard threshold %.2f, Unjostrane: rms error %.3f", lambda, rms (plain - clean)));
  panel (3, 1, 3); plot (t, invariant, "b", t, clean, "k");
  legend ("Wendlock denoised", "clean", "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-3 7]);
  title (sprintf ("Wendlock, every detail column thresholded, Unwendlock: rms error %.3f",
                  rms (invariant - clean)));
  file = fullfile (outdir, "wavelet_invariant.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (plain vs translation-invariant denoising of a step signal)\n", file);
endfunction
