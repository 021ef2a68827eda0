## Runs the %!test and %!error blocks of every toolbox file in folder DIR
## (the folder that holds the plug-ins) and prints one line per file and the
## closing "octave: N passed, M failed, K skipped".  With LIST, the file
## plugins.list, every plug-in it names must be a MEX file in DIR with tests
## of its own; one that is not counts as a failure.  With EXTRA, a folder
## of test files (tests/octave), their %!test blocks as well.
function run_octave_tests (dir, list, extra)
  addpath (dir);
  names = dir_m (dir);
  if (nargin > 2)
    addpath (extra);
    names = [names, dir_m(extra)];
  endif
  passed = 0; failed = 0; skipped = 0; tested = {};
  for k = 1:numel (names)
    [n, nmax, ~, ~, nskip, nrtskip] = test (names{k}, "quiet", stdout);
    if (nmax > 0)
      tested{end+1} = names{k};
    endif
    printf ("  %-16s %3d of %3d%s\n", names{k}, n, nmax, skip_note (nskip + nrtskip));
    passed += n; failed += nmax - n; skipped += nskip + nrtskip;
  endfor
  if (nargin > 1)
    for name = listed_plugins (list)
      if (exist (name{1}) != 3 || ! any (strcmp (tested, name{1})))
        printf ("  %-16s listed plug-in not built in %s or without tests\n", name{1}, dir);
        failed += 1;
      endif
    endfor
  endif
  printf ("octave: %d passed, %d failed, %d skipped\n", passed, failed, skipped);
endfunction

function s = skip_note (k)
  s = "";
  if (k > 0)
    s = sprintf (", %d skipped", k);
  endif
endfunction

function names = listed_plugins (list)
  names = regexp (fileread (list), '^\s*\w+/(\w+)\s*$', "tokens", "lineanchors");
  names = [names{:}];
endfunction

function names = dir_m (dir)
  d = builtin ("dir", fullfile (dir, "*.m"));
  names = cellfun (@(f) f(1:end-2), {d.name}, "uniformoutput", false);
endfunction
