## Installs the Octave package TARBALL with pkg install into a temporary
## prefix (under folder BASE when given, else the system's temporary folder,
## removed afterwards), loads it, checks that every function of its INDEX comes from the
## installed copy and has help with an example, runs each one's tests, and
## prints "package: N passed, M failed, K skipped" (pkg test itself does not
## fail; a test skipped for want of an optional peer counts in neither).
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
  t0 = tic ();
  pkg ("install", "-local", tarball);
  pkg ("load", "wavetide");
  printf ("  package install and load: %.1f s\n", toc (t0));

  info = pkg ("list", "wavetide");
  names = index_names (fullfile (info{1}.dir, "packinfo", "INDEX"));
  passed = 0; total = 0; skipped = 0;
  for k = 1:numel (names)
    name = names{k};
    where = which (name);
    try
      text = evalc (sprintf ("help %s", name));
    catch
      text = "";
    end_try_catch
    ok = strncmp (where, prefix, numel (prefix)) && ! isempty (strfind (text, "Example"));
    if (! ok)
      printf ("  %-16s help or location wrong: %s\n", name, where);
    endif
    [n, nmax, ~, ~, nskip, nrtskip] = test (name, "quiet", stdout);
    printf ("  %-16s %3d of %3d, help %s", name, n, nmax, ifelse_str (ok));
    if (nskip + nrtskip > 0)
      printf (", %d skipped", nskip + nrtskip);
    endif
    printf ("\n");
    passed += n + ok; total += nmax + 1; skipped += nskip + nrtskip;
  endfor
  pkg ("unload", "wavetide");
  confirm_recursive_rmdir (false, "local");
  rmdir (prefix, "s");
  printf ("package: %d passed, %d failed, %d skipped\n", passed, total - passed, skipped);
endfunction

function names = index_names (file)
  names = {};
  text = fileread (file);
  for line = strsplit (text, "\n")
    if (! isempty (line{1}) && line{1}(1) == " ")
      names = [names, strsplit(strtrim (line{1}))];
    endif
  endfor
endfunction

function s = ifelse_str (ok)
  if (ok)
    s = "ok";
  else
    s = "MISSING";
  endif
endfunction
