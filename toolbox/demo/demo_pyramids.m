## Triadic pyramids: a signal with impulsive outliers through the median
## pyramid (Brontal) and the average pyramid (Drassock), and a few steps of
## the two refinement schemes (Olmister, Ephrandel) from a short sequence.
function demo_pyramids (outdir)
  J = 7; n = 3^J; L = 2; D = 2;
  t = ((0:n-1) + 0.5) / n;
  clean = sin (2 * pi * t) + 0.5 * (t > 0.55);
  rand ("state", 3);
  hits = sort (randperm (n, 200));
  spiky = clean;
  spiky(hits) += 6 + 2 * rand (1, 200);

  s = 3^((J - L) / 2);
  coarse = @(w) w(1:3^L) / s;
  clean_med = coarse (Brontal (clean, L, D));
  clean_avg = coarse (Drassock (clean, L, D));
  med = coarse (Brontal (spiky, L, D));
  avg = coarse (Drassock (spiky, L, D));
  printf ("%d outliers of size 6 to 8 in %d samples; coarse level %d (%d blocks of %d)\n",
          numel (hits), n, L, 3^L, 3^(J - L));
  back = Unbrontal (Brontal (spiky, L, D), L, D);
  printf ("coarse change caused by the outliers: median %.3f, average %.3f (max abs); Unbrontal round trip error %.1e\n",
          max (abs (med - clean_med)), max (abs (avg - clean_avg)), max (abs (back - spiky)));

  fig = figure ();
  tc = ((0:3^L-1) + 0.5) / 3^L;
  plot (t, spiky, ".", "color", [0.6 0.6 0.6], "markersize", 3, t, clean, "k", ...
        tc, med, "bo-", "linewidth", 2, tc, avg, "rs-", "linewidth", 2);
  legend ("signal with outliers", "clean signal", "Brontal coarse medians", ...
          "Drassock coarse averages", "location", "north");
  ylim ([-2 14]); xlabel ("t");
  title (sprintf ("level %d: Brontal vs Drassock, D = %d; outliers 6 to 8 above the signal", L, D));
  file = fullfile (outdir, "pyramid_outliers.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (coarse medians follow the clean signal, averages the outliers)\n", file);

  ## Both schemes from the same values, four steps each; the median scheme
  ## is nonlinear, and around a lone peak the two limits part clearly.
  x0 = [0 0 4 0 0 1];
  m = numel (x0) * 3^4;
  tm = ((0:m-1) + 0.5) / m * numel (x0);
  v = {x0, x0};
  names = {"Olmister", "Ephrandel"};
  for it = 1:4
    v = cellfun (@(f, y) feval (f, y, 2), names, v, "uniformoutput", false);
  end
  fig = figure ();
  panel (2, 1, 1);
  plot (tm, v{1}, "b", "linewidth", 2, tm, v{2}, "r--", "linewidth", 2, ...
        (0:numel (x0)-1) + 0.5, x0, "ko", "markerfacecolor", "k");
  legend ("Olmister (median, D = 2)", "Ephrandel (quadratic, D = 2)", "starting values", ...
          "location", "northeast");
  xlabel ("t"); title ("four refinement steps from the same six values");
  panel (2, 1, 2);
  plot (tm, v{1} - v{2}, "k");
  xlabel ("t"); ylabel ("difference");
  title ("Olmister minus Ephrandel");
  file = fullfile (outdir, "pyramid_refinement.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (median- and point-interpolating refinement sequences)\n", file);
endfunction
