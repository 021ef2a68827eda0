## Denoising a sine with six jumps: denoise with soft and hard rules,
## universal and SURE thresholds, plain and translation-invariant, and the
## RMS error of each.
function demo_denoise (outdir)
  n = 4096; L = 4; sigma = 0.5;
  t = (1:n) / n;
  clean = 4 * sin (4 * pi * t) - sign (t - 0.3) - sign (0.72 - t) ...
          + 3 * (t > 0.1 & t < 0.15) - 2 * (t > 0.45 & t < 0.5) + 2.5 * (t > 0.85);
  randn ("state", 1);
  noisy = clean + sigma * randn (1, n);
  h = orthofilter ("sym8");

  rms = @(y) sqrt (mean ((y - clean) .^ 2));
  names = {}; errors = [];
  for rule = {"soft", "hard"}
    for threshold = {"universal", "sure"}
      for invariant = [false true]
        y = denoise (noisy, h, L, "rule", rule{1}, "threshold", threshold{1}, "invariant", invariant);
        names{end+1} = sprintf ("%s %s%s", rule{1}, threshold{1}, {"", " TI"}{invariant + 1});
        errors(end+1) = rms (y);
        if (strcmp (names{end}, "soft universal"))
          plain = y;
        elseif (strcmp (names{end}, "soft sure TI"))
          best = y;
        endif
      endfor
    endfor
  endfor
  printf ("noise level %.3f (estimated %.3f), noise rms %.3f; rms error after denoise (TI: translation-invariant):\n",
          sigma, noiselevel (Jostrane (noisy, L, h), L), rms (noisy));
  printf ("         universal  universal TI  sure   sure TI\n");
  printf ("  soft   %.3f      %.3f         %.3f  %.3f\n", errors(1:4));
  printf ("  hard   %.3f      %.3f         %.3f  %.3f\n", errors(5:8));

  fig = figure ("paperposition", [0 0 9.6 10]);  # taller: three panels
  panel (3, 1, 1); plot (t, noisy, "color", [0.6 0.6 0.6], t, clean, "k");
  legend ("noisy", "clean", "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-8 10]);
  title (sprintf ("noisy signal (sigma %.1f) and the clean one", sigma));
  panel (3, 1, 2); plot (t, plain, "r", t, best, "b", t, clean, "k");
  legend ("soft universal", "soft SURE translation-invariant", "clean", ...
          "orientation", "horizontal", "location", "north");
  xlabel ("t"); ylim ([-8 15]);   # the two-line legend above the curves
  title ("two of the eight variants");
  ax = panel (3, 1, 3);
  pos = get (ax, "position");
  set (ax, "position", [0.22, pos(2), 0.73, pos(4)]);   # room for the labels
  barh (errors(end:-1:1), 0.6);
  set (ax, "ytick", 1:numel (names), "yticklabel", names(end:-1:1));
  xlabel ("rms error"); title ("rms error of each variant (TI: translation-invariant)");
  file = fullfile (outdir, "denoise.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (denoise: rules, thresholds, translation invariance)\n", file);
endfunction
