## Runs the %!test and %!error blocks of every toolbox file found in the
## folder given as the first argument (the folder that holds the plug-ins),
## and prints "octave: N passed, M failed, K skipped" (a test skipped at run
## time, for want of an optional peer, is neither passed nor failed).
function run_octave_tests (dir, varargin)
  addpath (dir);
  files = dir_m (dir);
  total = 0; passed = 0; skipped = 0;
  for k = 1:numel (files)
    name = files{k};
    [n, nmax, ~, ~, nskip, nrtskip] = test (name, "quiet", stdout);
    printf ("  %-16s %3d of %3d", name, n, nmax);
    if (nskip + nrtskip > 0)
      printf (", %d skipped", nskip + nrtskip);
    endif
    printf ("\n");
    passed += n; total += nmax; skipped += nskip + nrtskip;
  endfor
  printf ("octave: %d passed, %d failed, %d skipped\n", passed, total - passed, skipped);
endfunction

function names = dir_m (dir)
  d = dir_list (fullfile (dir, "*.m"));
  names = {};
  for k = 1:numel (d)
    [~, base] = fileparts (d(k).name);
    names{end+1} = base;
  endfor
endfunction

function d = dir_list (pattern)
  d = builtin ("dir", pattern);
endfunction
