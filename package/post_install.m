## pkg install puts the MEX files in an architecture folder and the .m files
## in the package folder; help and test look for a function's .m file beside
## the file that defines it, so each plug-in's help file moves beside its MEX.
function post_install (desc)
  mex = {};
  archdir = "";
  sub = dir (desc.archprefix);
  for k = 1:numel (sub)
    if (sub(k).isdir && sub(k).name(1) != ".")
      found = dir (fullfile (desc.archprefix, sub(k).name, "*.mex"));
      if (! isempty (found))
        archdir = fullfile (desc.archprefix, sub(k).name);
        mex = {found.name};
      endif
    endif
  endfor
  for k = 1:numel (mex)
    help_file = fullfile (desc.dir, strrep (mex{k}, ".mex", ".m"));
    if (exist (help_file, "file"))
      [ok, msg] = movefile (help_file, archdir);
      if (! ok)
        error ("post_install: cannot move %s: %s", help_file, msg);
      endif
    endif
  endfor
endfunction
