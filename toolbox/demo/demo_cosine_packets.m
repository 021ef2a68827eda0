## Cosine packets of a chirp plus two windowed tones: Orrimac's table level
## by level as time-frequency images, and a signal rebuilt by Unorrimac from
## the largest coefficients of one column.
function demo_cosine_packets (outdir)
  n = 1024; D = 6;
  t = (0:n-1) / n;
  bump = @(c, w) exp (-((t - c) / w) .^ 2);
  x = sin (2 * pi * (20 * t + 150 * t .^ 2)) ...
      + 0.8 * bump (0.25, 0.06) .* sin (2 * pi * 300 * t) ...
      + 0.6 * bump (0.75, 0.04) .* sin (2 * pi * 420 * t);

  T = Orrimac (x, D, 0);
  printf ("n = %d, D = %d: table %d x %d, largest column energy error %.1e, Unorrimac (T) = (D + 1) x to %.1e\n",
          n, D, rows (T), columns (T), max (abs (sumsq (T) - sumsq (x))) / sumsq (x),
          norm (Unorrimac (T) - (D + 1) * x) / norm (x));

  ## How many coefficients of each level hold 99% of the energy.
  need = zeros (1, D + 1);
  for d = 0:D
    e = cumsum (sort (T(:, d + 1) .^ 2, "descend"));
    need(d + 1) = find (e >= 0.99 * e(end), 1);
  endfor
  [kept, best] = min (need);
  printf ("coefficients for 99%% of the energy, levels 0..%d: %s\n", D, mat2str (need));

  ## One column alone is an orthonormal expansion: keep its largest
  ## coefficients, zero the rest of the table, and synthesise.
  S = zeros (size (T));
  c = T(:, best);
  [~, order] = sort (abs (c), "descend");
  S(order(1:kept), best) = c(order(1:kept));
  y = Unorrimac (S);
  printf ("level %d alone, %d of %d coefficients: relative error %.3f\n",
          best - 1, kept, n, norm (y - x) / norm (x));

  fig = figure ("position", [0 0 960 760], "paperposition", [0 0 9.6 7.6]);
  levels = [0 2 4 6];
  for k = 1:numel (levels)
    d = levels(k); f = n / 2^d;
    panel (2, 2, k);
    ## Each block drawn as two image columns, so that a lone block spans 0..1.
    centres = ((0:2^(d+1)-1) + 0.5) / 2^(d+1);
    freqs = ((0:f-1) + 0.5) * n / (2 * f);
    imagesc (centres, freqs, kron (abs (reshape (T(:, d + 1), f, 2^d)), [1 1]));
    axis xy; xlim ([0 1]); ylim ([0 n/2]); colormap (flipud (gray ())); colorbar ();
    title (sprintf ("level %d: |T|, blocks of %d", d, f));
    xlabel ("time"); ylabel ("frequency");
  endfor
  file = fullfile (outdir, "cosine_packets_table.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (|Orrimac| coefficients, time across, frequency up)\n", file);

  fig = figure ("position", [0 0 900 600]);
  panel (2, 1, 1); plot (t, x, "k"); xlabel ("t"); title ("chirp and two windowed tones");
  panel (2, 1, 2); plot (t, y, "b", t, x - y, "r");    # a legend would hide the signal
  xlabel ("t");
  title (sprintf ("Unorrimac of %d coefficients of level %d (blue), its error (red)", kept, best - 1));
  file = fullfile (outdir, "cosine_packets_column.png");
  print (fig, file, "-dpngcairo");
  printf ("figure: %s (reconstruction from one column)\n", file);
endfunction
