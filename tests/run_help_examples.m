## Runs the example of every help file in folder DIR: the code lines of the
## @example blocks that follow the word "Example" (lines of the block that
## start in its first column, up to any @result{}; indented lines are shown
## results).  Each example
## runs in a fresh workspace; prints "examples: N passed, M failed".
## build_plugins is left out: the test command runs its example as a step.
function run_help_examples (dir)
  addpath (dir);
  files = builtin ("dir", fullfile (dir, "*.m"));
  passed = 0; failed = 0;
  for k = 1:numel (files)
    [~, name] = fileparts (files(k).name);
    if (strcmp (name, "build_plugins"))
      continue;
    endif
    code = example_code (fullfile (dir, files(k).name));
    if (isempty (code))
      printf ("  %-16s has no example\n", name);
      failed += 1;
      continue;
    endif
    try
      evalc ("run_example (code)");
      passed += 1;
    catch err
      printf ("  %-16s example fails: %s\n", name, err.message);
      failed += 1;
    end_try_catch
  endfor
  printf ("examples: %d passed, %d failed\n", passed, failed);
endfunction

function run_example (code__)
  eval (code__);
endfunction

function code = example_code (file)
  code = "";
  seen = false; inside = false;
  for line = strsplit (fileread (file), "\n")
    l = line{1};
    if (! strncmp (l, "##", 2) && ! (strncmp (l, "%", 1) && ! strncmp (l, "%!", 2)))
      continue;
    endif
    l = regexprep (l, "^(##|%) ?", "");
    if (! inside && ! isempty (strfind (l, "Example")))
      seen = true;
    elseif (seen && strncmp (l, "@example", 8))
      inside = true;
    elseif (inside && strncmp (l, "@end example", 12))
      inside = false; seen = false;
    elseif (inside && ! isempty (l) && ! isspace (l(1)) && l(1) != "@")
      l = regexprep (l, "@result\\{\\}.*$", "");   # a result shown on the code line
      code = [code, strrep(strrep(strrep(l, "@{", "{"), "@}", "}"), "@@", "@"), "\n"];
    endif
  endfor
endfunction
