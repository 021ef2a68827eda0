## Runs the example of every help file in folder DIR and compares the values
## it shows with those the code returns.  An example is the @example block
## that follows the word "Example": lines that start in its first column are
## code, "@result{} ..." (on the code line or indented below it, continued
## by further indented lines) shows the value of the line before: of the
## variables it assigns, or of ans, or of each "name =" the result names.
## Shown numbers (decimals or fractions such as -1/3) are read in rows and
## must match to half a unit in their last digit, or to 5e-5 where fewer
## than four decimals are shown (fractions to 1e-12).  Each example runs in
## a fresh workspace and counts as one check; one that shows no value fails.
## build_plugins is left out (the test command runs its example as a step),
## and so are the overview wavetide and Contents, the list MATLAB reads.
## Prints "examples: N passed, M failed".
function run_help_examples (dir)
  addpath (dir);
  files = builtin ("dir", fullfile (dir, "*.m"));
  passed = 0; failed = 0;
  for k = 1:numel (files)
    [~, name] = fileparts (files(k).name);
    if (any (strcmp (name, {"build_plugins", "wavetide", "Contents"})))
      continue;
    endif
    steps = example_steps (fullfile (dir, files(k).name));
    if (! any (cellfun (@(s) ! isempty (s.shown), steps)))
      printf ("  %-16s has no example that shows a value\n", name);
      failed += 1;
      continue;
    endif
    try
      problem = run_example (steps);
    catch err
      problem = ["fails: ", err.message];
    end_try_catch
    if (isempty (problem))
      passed += 1;
    else
      printf ("  %-16s example %s\n", name, problem);
      failed += 1;
    endif
  endfor
  printf ("examples: %d passed, %d failed\n", passed, failed);
endfunction

## Evaluates the steps in this function's workspace; returns "" when every
## shown value matches, else what differs.
function problem__ = run_example (steps__)
  problem__ = "";
  for k__ = 1:numel (steps__)
    shown__ = evalc (steps__{k__}.code);   # assigned, so that ans stays the example's
    for r__ = 1:size (steps__{k__}.shown, 1)
      [name__, text__] = steps__{k__}.shown{r__, :};
      problem__ = compare_shown (eval (name__), text__, name__);
      if (! isempty (problem__))
        return;
      endif
    endfor
  endfor
endfunction

function problem = compare_shown (value, text, name)
  problem = "";
  tokens = strsplit (strtrim (text));
  shown = cellfun (@shown_number, tokens);
  value = value.'(:).';
  if (any (isnan (shown)) || numel (shown) != numel (value))
    problem = sprintf ("shows %s = %s, returns %s", name, text, mat2str (value, 5));
    return;
  endif
  tol = cellfun (@shown_tolerance, tokens);
  if (any (abs (value - shown) > tol))
    problem = sprintf ("shows %s = %s, returns %s", name, text, mat2str (value, 8));
  endif
endfunction

function v = shown_number (token)
  v = NaN;
  if (regexp (token, '^-?(\d+\.?\d*|\.\d+)(e[-+]?\d+)?(/\d+)?$', "once"))
    v = eval (token);
  endif
endfunction

function tol = shown_tolerance (token)
  if (any (token == "/"))
    tol = 1e-12;
  else
    decimals = regexp (token, '\.(\d*)', "tokens", "once");
    tol = 0.5 * 10 ^ -max (4, numel ([decimals{:}]));
  endif
endfunction

## The example as steps: code, and shown = {name, numbers} rows for the
## values shown after it.
function steps = example_steps (file)
  steps = {}; seen = false; inside = false; code = ""; results = {};
  for line = strsplit (fileread (file), "\n")
    l = line{1};
    if (! strncmp (l, "##", 2) && ! (strncmp (l, "%", 1) && ! strncmp (l, "%!", 2)))
      continue;
    endif
    l = regexprep (l, "^(##|%) ?", "");
    l = strrep (strrep (strrep (l, "@{", "{"), "@}", "}"), "@@", "@");
    if (! inside && ! isempty (strfind (l, "Example")))
      seen = true;
    elseif (seen && strncmp (l, "@example", 8))
      inside = true;
    elseif (inside && strncmp (l, "@end example", 12))
      steps = add_step (steps, code, results);
      break;
    elseif (inside && ! isempty (l) && l(1) != "@")
      at = strfind (l, "@result{}");
      if (! isspace (l(1)))                   # a code line
        steps = add_step (steps, code, results);
        code = l; results = {};
        if (! isempty (at))
          code = l(1:at-1);
        endif
      endif
      if (! isempty (at))
        results{end+1} = l(at+9:end);
      elseif (isspace (l(1)) && ! isempty (results))
        results{end} = [results{end}, " ", l];
      endif
    endif
  endfor
endfunction

function steps = add_step (steps, code, results)
  if (isempty (code))
    return;
  endif
  assigned = regexp (code, '^\s*\[?([\w\s,]*?)\]?\s*=[^=]', "tokens", "once");
  if (isempty (assigned))
    names = {"ans"};
  else
    names = strtrim (strsplit (assigned{1}, ","));
  endif
  shown = cell (0, 2);
  text = strjoin (results, " ");
  labelled = regexp (text, '(\w+)\s*=([^=]*?)(?=\s\w+\s*=|$)', "tokens");
  if (! isempty (labelled))
    shown = vertcat (labelled{:});
  elseif (! isempty (strtrim (text)))
    shown = {names{1}, text};
  endif
  steps{end+1} = struct ("code", code, "shown", {shown});
endfunction
