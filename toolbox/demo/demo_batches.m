## Many signals at once. One call on an n x m matrix transforms every column
## (Jostrane, Unjostrane, Morrowel, Unmorrowel, noiselevel, shrinkdetails,
## denoise); the transforms that take one signal (Fennick and the other
## trigonometric transforms, Orrimac, the pyramids, ...) run over the
## columns in a loop, or in several processes with the parallel package's
## pararrayfun where it is installed (which pays where processors are free
## and each call takes milliseconds). Every way gives the same doubles.
function demo_batches (outdir)
  n = 1024; m = 200;
  randn ("state", 2);
  X = cumsum (randn (n, m));             # 200 random walks, one per column
  h = orthofilter ("db4");

  W = Jostrane (X(:, 1), 4, h);         # loads the plug-in before the clock starts
  t0 = tic (); W = Jostrane (X, 4, h); one = toc (t0);
  t0 = tic ();
  V = zeros (n, m);
  for k = 1:m
    V(:, k) = Jostrane (X(:, k), 4, h);
  endfor
  loop = toc (t0);
  Y = Fennick (X);                      # one signal: the first column
  printf ("Jostrane of a %d x %d matrix: a call per column's doubles (%s), %.1f ms against a loop's %.1f; Fennick of it fills %d column(s)\n",
          n, m, yes_no (isequal (W, V)), 1e3 * one, 1e3 * loop, nnz (any (Y)));

  if (isempty (pkg ("list", "parallel")))
    printf ("the parallel package is not installed (Debian: octave-parallel), so its part is skipped\n");
    return;
  endif
  pkg load parallel
  procs = nproc ();
  Z = cumsum (randn (2^14, 32));
  f = @(k) denoise (Z(:, k), "sym8", 4, "invariant", true);
  y = f (1);
  t0 = tic ();
  serial = zeros (size (Z));
  for k = 1:32
    serial(:, k) = f (k);
  endfor
  loop = toc (t0);
  ## One chunk of calls per process: the fewest transfers between them.
  t0 = tic ();
  P = pararrayfun (procs, f, 1:32, "UniformOutput", false, "ChunksPerProc", 1);
  par = toc (t0);
  ## An anonymous function, not @Fennick: with a handle to a MEX function
  ## itself, Octave 7.3 with parallel 4.0.1 crashes when it exits (any MEX
  ## function, not only these).
  C = parcellfun (procs, @(x) Fennick (x), num2cell (X, 1), "UniformOutput", false);
  same = isequal (P, num2cell (serial, 1)) && isequal ([C{:}], cell2mat (arrayfun (@(k) Fennick (X(:, k)), 1:m, "UniformOutput", false)));
  printf ("pararrayfun, %d processes: 32 invariant denoise calls on 2^14 in %.0f ms, a loop %.0f; with parcellfun of Fennick, the loop's doubles (%s)\n",
          procs, 1e3 * par, 1e3 * loop, yes_no (same));
  pkg unload parallel
endfunction

function s = yes_no (flag)
  s = {"NOT equal", "isequal"}{flag + 1};
endfunction
