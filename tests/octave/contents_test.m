## toolbox/Contents.m, which MATLAB's ver and help read: its version is the
## project's, and it lists every toolbox function and every plug-in of
## plugins.list, each once, and nothing else.

%!test
%! root = fileparts (fileparts (fileparts (which ("contents_test"))));
%! text = fileread (fullfile (root, "toolbox", "Contents.m"));
%! lines = strsplit (text, "\n");
%! assert (lines{1}, "% Wavetide");
%! version = regexp (fileread (fullfile (root, "CMakeLists.txt")),
%!                   'project\(wavetide VERSION ([0-9.]+)', "tokens", "once"){1};
%! assert (regexp (lines{2}, '^% Version ([0-9.]+) \d\d-[A-Z][a-z][a-z]-\d{4}$', "tokens", "once"), {version});
%! listed = regexp (text, '^%   (\w+) +- \S', "tokens", "lineanchors");
%! listed = [listed{:}];
%! m = dir (fullfile (root, "toolbox", "*.m"));
%! plugins = regexp (fileread (fullfile (root, "plugins.list")), '^\w+/(\w+)\s*$', "tokens", "lineanchors");
%! expected = setdiff (union (strrep ({m.name}, ".m", ""), [plugins{:}]), {"Contents"});
%! assert (numel (unique (listed)), numel (listed), "an entry is listed twice");
%! missing = setdiff (expected, listed);
%! stale = setdiff (listed, expected);
%! assert (isempty ([missing, stale]), "Contents.m lacks: %s; names what is not there: %s",
%!         strjoin (missing, " "), strjoin (stale, " "));
