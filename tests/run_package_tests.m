## Installs the Octave package TARBALL with pkg install -local into a
## temporary prefix (under folder BASE when given, else the system's
## temporary folder; removed afterwards), loads it and checks it as a user
## would: the install prints nothing of the compiler; every function of its
## INDEX comes from the installed copy, has help with an example (the
## overview "wavetide" instead names every other function) and passes its
## tests; its demos run (and there are some); "citation wavetide" prints
## the citation.  Prints "package: N passed, M failed, K skipped" (pkg test
## itself does not fail).
function run_package_tests (tarball, base)
  if (nargin < 2)
    base = tempdir ();
  endif
  prefix = tempname (make_absolute_filename (base), "pkgtest-");
  mkdir (prefix);
  pkg ("prefix", fullfile (prefix, "share"), fullfile (prefix, "lib"));
  ## Both package lists live in the prefix, and "-local" keeps pkg from
  ## installing globally when run as root, so that the machine's lists and
  ## other test runs at the same time are left alone.
  pkg ("local_list", fullfile (prefix, "local_packages"));
  pkg ("global_list", fullfile (prefix, "global_packages"));
  ## The install runs in an Octave of its own, whose whole output (the
  ## compilers' included, which reach the terminal and not evalc) is read:
  ## only pkg's line about news may be printed.
  t0 = tic ();
  octave_cli = fullfile (__octave_config_info__ ("bindir"), "octave-cli");
  [status, out] = system (sprintf (["'%s' --no-gui --norc -q --eval \"pkg ('prefix', '%s', '%s'); " ...
                                    "pkg ('local_list', '%s'); pkg ('global_list', '%s'); " ...
                                    "pkg ('install', '-local', '%s')\" 2>&1"], octave_cli, ...
                                   pkg ("prefix"), nthargout (2, @pkg, "prefix"), pkg ("local_list"), ...
                                   pkg ("global_list"), tarball));
  printed = regexprep (out, {"For information about changes from previous versions of the wavetide package, run 'news wavetide'.\n", ...
                             "[^\n]*ignoring const execution_exception[^\n]*\n"}, "");
  pkg ("load", "wavetide");
  printf ("  package install and load: %.1f s\n", toc (t0));
  passed = 0; failed = 0; skipped = 0; all_demos = 0;
  if (status != 0 || ! isempty (printed))
    printf ("  pkg install printed more than its news line (status %d):\n%s", status, out);
    failed += 1;
  else
    passed += 1;
  endif
  warning ("off", "Octave:gnuplot-graphics");
  graphics_toolkit ("gnuplot");
  set (0, "defaultfigurevisible", "off");

  info = pkg ("list", "wavetide");
  names = index_names (fullfile (info{1}.dir, "packinfo", "INDEX"));
  overview = evalc ("help wavetide");
  for k = 1:numel (names)
    name = names{k};
    problem = "";
    if (! strncmp (which (name), prefix, numel (prefix)))
      problem = ["not installed: ", which(name)];
    elseif (strcmp (name, "wavetide"))
      missing = names(cellfun (@(n) isempty (regexp (overview, ['\<' n '\>'], "once")), names));
      if (! isempty (missing))
        problem = ["help wavetide does not name ", strjoin(missing, ", ")];
      endif
    elseif (isempty (strfind (evalc (sprintf ("help %s", name)), "Example")))
      problem = "help without example";
    endif
    [n, nmax, ~, ~, nskip, nrtskip] = test (name, "quiet", stdout);
    [demos, bad] = run_demos (name);
    all_demos += demos;
    if (bad > 0)
      problem = sprintf ("%s %d demos fail", problem, bad);
    endif
    printf ("  %-16s %3d of %3d tests, %d demos %s\n", name, n, nmax, demos, problem);
    passed += n + isempty (problem); failed += nmax - n + ! isempty (problem);
    skipped += nskip + nrtskip;
  endfor
  if (all_demos == 0)
    printf ("  no function has a demo\n");
    failed += 1;
  endif
  if (isempty (strfind (evalc ("citation wavetide"), "@Manual{wavetide")))
    printf ("  citation wavetide prints no BibTeX entry\n");
    failed += 1;
  endif
  close all;
  pkg ("unload", "wavetide");
  confirm_recursive_rmdir (false, "local");
  rmdir (prefix, "s");
  printf ("package: %d passed, %d failed, %d skipped\n", passed, failed, skipped);
endfunction

## Runs the %!demo blocks of NAME one by one with demo, which reports a
## failing block instead of raising; returns their count and failures.
function [n, bad] = run_demos (name)
  [~, idx] = test (name, "grabdemo");
  n = max (0, numel (idx) - 1);
  bad = 0;
  for k = 1:n
    bad += ! isempty (strfind (evalc ("demo (name, k)"), sprintf ("example %d: failed", k)));
  endfor
endfunction

function names = index_names (file)
  names = {};
  for line = strsplit (fileread (file), "\n")
    if (! isempty (line{1}) && line{1}(1) == " ")
      names = [names, strsplit(strtrim (line{1}))];
    endif
  endfor
endfunction
