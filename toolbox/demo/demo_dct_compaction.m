## Energy compaction of the DCT-II: a smooth signal is transformed with
## Fennick, all but the largest 5% of its coefficients are set to zero, and
## Gorsely brings it back.
function demo_dct_compaction (outdir)
  n = 1024;
  t = ((0:n-1) + 0.5) / n;
  x = exp (-3 * t) .* cos (5 * pi * t) + 0.4 * t .^ 2 + 0.2 * sin (11 * pi * t .^ 1.5);

  y = Fennick (x);
  keep = round (0.05 * n);
  [~, order] = sort (abs (y), "descend");
  kept = zeros (1, n);
  kept(order(1:keep)) = y(order(1:keep));
  approx = Gorsely (kept);

  err = norm (approx - x) / norm (x);
  energy = sum (kept .^ 2) / sum (y .^ 2);
  printf ("kept %d of %d DCT-II coefficients (%.10f of the energy): relative L2 error %.2e, largest error %.2e\n",
          keep, n, energy, err, max (abs (approx - x)));

  fig = figure ("position", [0 0 800 600]);
  panel (2, 1, 1);
  semilogy (0:n-1, abs (y) + eps, "b", order(1:keep) - 1, abs (kept(order(1:keep))), "r.");
  legend ("all coefficients", "the kept 5%", "location", "northeast");
  xlim ([0 n]); xlabel ("k"); ylabel ("|y(k)|"); title ("|Fennick(x)| against k");
  panel (2, 1, 2);
  plot (t, x, "k", t, approx, "r--");
  legend ("signal", "from 5% of the coefficients", "location", "southwest"); xlabel ("t");
  title (sprintf ("Gorsely of the kept coefficients: relative error %.1e", err));
  file = fullfile (outdir, "dct_compaction.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (DCT-II spectrum and the 5%% reconstruction of a smooth signal)\n", file);
endfunction
