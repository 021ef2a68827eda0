## -*- texinfo -*-
## @deftypefn  {} {} build_plugins (@var{outdir})
## @deftypefnx {} {@var{names} =} build_plugins (@var{outdir}, @var{root})
## Compile every Wavetide plug-in with the host's own @code{mex} command.
##
## Works in MATLAB (its @code{mex}, with a C++17 compiler configured by
## @code{mex -setup C++}) and in Octave (where @code{mex} runs
## @code{mkoctfile --mex}).  The plug-ins are found in the source tree
## @var{root} (default: the folder above this file): in each subsystem
## folder, a source @code{<Name>.cpp} with a capitalised name is a plug-in,
## the other @code{.cpp} files are the kernels its plug-ins share, and
## @code{host/gateway.cpp} goes into every plug-in.  Kernels are compiled once
## per subsystem.  Each plug-in lands in @var{outdir} with its help file
## @code{toolbox/<Name>.m} beside it, and so do the other toolbox functions;
## @code{addpath (outdir)} then gives the whole toolbox.  Returns the names
## of the plug-ins built.
##
## Example:
## @example
## outdir = tempname (); build_plugins (outdir); addpath (outdir);
## help Jostrane
## @end example
## @seealso{orthofilter, biorthofilter}
## @end deftypefn

function names = build_plugins (outdir, root)
  if (nargin < 1 || nargin > 2)
    print_usage ();
  endif
  if (nargin < 2)
    root = fileparts (fileparts (mfilename ("fullpath")));
  endif
  if (! exist (outdir, "dir"))
    mkdir (outdir);
  endif
  in_octave = exist ("OCTAVE_VERSION", "builtin") != 0;
  objdir = tempname ();
  mkdir (objdir);
  cleanup = onCleanup (@() remove_folder (objdir));
  host = fullfile (root, "host", "gateway.cpp");
  inc = ["-I" root];

  names = {};
  subsystems = {"wavelet", "biorthogonal", "trig", "cosine_packets", "pyramid"};
  for s = 1:numel (subsystems)
    folder = fullfile (root, subsystems{s});
    sources = dir (fullfile (folder, "*.cpp"));
    if (isempty (sources))
      continue;
    endif
    base = cellfun (@(f) f(1:end-4), {sources.name}, "uniformoutput", false);
    plugin = cellfun (@(b) any (b(1) == "A":"Z"), base);
    objs = {};
    objs{1} = compile (host, objdir, "host_gateway", inc, in_octave);
    for k = find (! plugin)
      objs{end+1} = compile (fullfile (folder, sources(k).name), objdir,
                             [subsystems{s} "_" base{k}], inc, in_octave);
    endfor
    for k = find (plugin)
      src = fullfile (folder, sources(k).name);
      if (in_octave)
        mex (inc, "-O2", src, objs{:}, "-o", fullfile (outdir, base{k}));
      else
        mex (inc, "-O", "CXXFLAGS=$CXXFLAGS -std=c++17", src, objs{:},
             "-outdir", outdir, "-output", base{k});
      endif
      names{end+1} = base{k};
    endfor
  endfor

  ## the help files and the other toolbox functions
  toolbox = dir (fullfile (root, "toolbox", "*.m"));
  for k = 1:numel (toolbox)
    copyfile (fullfile (root, "toolbox", toolbox(k).name), outdir);
  endfor
  printf ("build_plugins: %d plug-ins in %s\n", numel (names), outdir);
endfunction

function obj = compile (src, objdir, stem, inc, in_octave)
  if (in_octave)
    obj = fullfile (objdir, [stem ".o"]);
    mex (inc, "-O2", "-c", src, "-o", obj);
  else
    ## MATLAB names the object after the source; give each its own folder
    sub = fullfile (objdir, stem);
    mkdir (sub);
    mex (inc, "-O", "CXXFLAGS=$CXXFLAGS -std=c++17", "-c", src, "-outdir", sub);
    [~, b] = fileparts (src);
    o = dir (fullfile (sub, [b ".o*"]));
    obj = fullfile (sub, o(1).name);
  endif
endfunction

function remove_folder (d)
  if (exist ("OCTAVE_VERSION", "builtin"))
    confirm_recursive_rmdir (false, "local");
  endif
  rmdir (d, "s");
endfunction
