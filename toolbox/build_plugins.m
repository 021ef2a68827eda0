function names = build_plugins(outdir, root)
% -*- texinfo -*-
% @deftypefn  {} {} build_plugins (@var{outdir})
% @deftypefnx {} {@var{names} =} build_plugins (@var{outdir}, @var{root})
% @deftypefnx {} {@var{flags} =} build_plugins ("-flags", @var{compiler})
% Compile every Wavetide plug-in with the host's own @code{mex} command.
%
% Works in MATLAB (its @code{mex}, with a C++17 compiler configured by
% @code{mex -setup C++}) and in Octave (where @code{mex} runs
% @code{mkoctfile --mex}); this file is written in the language both share.
% The plug-ins are those that @code{plugins.list} in the source tree
% @var{root} names (default: the folder above this file), one
% @code{<subsystem>/<Name>} a line: each is built from
% @code{<subsystem>/<Name>.cpp}, with the other @code{.cpp} files of its
% folder (the kernels, compiled once per subsystem) and
% @code{host/gateway.cpp}.  Each plug-in lands in @var{outdir} with the
% toolbox files (help texts and filter functions) beside it;
% @code{addpath (outdir)} then gives the whole toolbox.  Returns the names
% of the plug-ins built.
%
% The compiler flags depend on the compiler that @code{mex} uses (the
% @code{CXX} of @code{mkoctfile} in Octave, the selected C++ compiler in
% MATLAB): C++17, optimisation and no contraction of @code{a*b+c} into one
% fused operation, since that changes results.  GCC, MinGW and Clang get
% @code{-std=c++17 -O3 -ffp-contract=off -fno-semantic-interposition} (the
% last lets kernels inline their own functions in position-independent
% code); Microsoft's compiler gets @code{/std:c++17 /O2 /fp:precise /EHs}
% (@code{/fp:precise} contracts nothing from Visual Studio 2022 on;
% @code{/EHs} without @code{c} lets an error raised by the host unwind
% through the gateway's @code{extern "C"} functions).  @code{build_plugins ("-flags", @var{compiler})} returns
% those flags for a compiler command or name without building anything.
% Warnings are not treated as errors here.
%
% Example:
% @example
% outdir = tempname (); build_plugins (outdir); addpath (outdir);
% help Jostrane
% @end example
% @seealso{orthofilter, biorthofilter}
% @end deftypefn

  if nargin < 1 || nargin > 2
    error('build_plugins: call as build_plugins(outdir) or build_plugins(outdir, root)');
  end
  if strcmp(outdir, '-flags')
    names = compiler_flags(root);
    return;
  end
  if nargin < 2
    root = fileparts(fileparts(mfilename('fullpath')));
  end
  if ~exist(outdir, 'dir')
    mkdir(outdir);
  end
  in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
  flags = compiler_flags(compiler_name(in_octave));
  objdir = tempname();
  mkdir(objdir);
  cleanup = onCleanup(@() remove_folder(objdir, in_octave));
  if in_octave
    % mkoctfile takes compiler flags from CXXFLAGS only
    saved = getenv('CXXFLAGS');
    restore = onCleanup(@() setenv('CXXFLAGS', saved));
    setenv('CXXFLAGS', [mkoctfile('-p', 'CXXFLAGS') sprintf(' %s', flags{:})]);
    flags = {};
  else
    flags = matlab_mex_flags(flags);
  end
  host = fullfile(root, 'host', 'gateway.cpp');
  inc = ['-I' root];

  list = regexp(fileread(fullfile(root, 'plugins.list')), ...
                '^\s*(\w+)/(\w+)\s*$', 'tokens', 'lineanchors');
  list = vertcat(list{:});
  names = list(:, 2)';
  subsystems = unique(list(:, 1), 'stable')';
  host_obj = compile(host, objdir, 'host_gateway', inc, flags, in_octave);
  for s = 1:numel(subsystems)
    folder = fullfile(root, subsystems{s});
    plugins = list(strcmp(list(:, 1), subsystems{s}), 2)';
    sources = dir(fullfile(folder, '*.cpp'));
    objs = {host_obj};
    for k = 1:numel(sources)
      base = sources(k).name(1:end-4);
      if ~any(strcmp(base, plugins))
        objs{end+1} = compile(fullfile(folder, sources(k).name), objdir, ...
                              [subsystems{s} '_' base], inc, flags, in_octave); %#ok<AGROW>
      end
    end
    for k = 1:numel(plugins)
      src = fullfile(folder, [plugins{k} '.cpp']);
      if in_octave
        mex(inc, flags{:}, src, objs{:}, '-o', fullfile(outdir, plugins{k}));
      else
        mex(inc, flags{:}, src, objs{:}, '-outdir', outdir, '-output', plugins{k});
      end
    end
  end

  % the help files and the other toolbox functions
  toolbox = dir(fullfile(root, 'toolbox', '*.m'));
  for k = 1:numel(toolbox)
    copyfile(fullfile(root, 'toolbox', toolbox(k).name), outdir);
  end
  fprintf('build_plugins: %d plug-ins in %s\n', numel(names), outdir);
end

% The command or name of the C++ compiler that mex uses.
function name = compiler_name(in_octave)
  if in_octave
    name = strtrim(mkoctfile('-p', 'CXX'));
  else
    cc = mex.getCompilerConfigurations('C++', 'Selected');
    name = cc(1).ShortName;
  end
end

% The flags for a compiler: Microsoft's (cl, clang-cl, MATLAB's MSVC*
% configurations) take /-options; GCC, MinGW and Clang the same -options.
function flags = compiler_flags(name)
  base = strtok(regexprep(lower(strtrim(name)), '^.*[\\/]', ''));
  base = regexprep(base, '\.exe$', '');
  if ~isempty(regexp(base, '^(cl|clang-cl|msvc.*)$', 'once'))
    flags = {'/std:c++17', '/O2', '/fp:precise', '/EHs'};
  else
    flags = {'-std=c++17', '-O3', '-ffp-contract=off', '-fno-semantic-interposition'};
  end
end

% MATLAB's mex takes compiler flags as additions to its CXXFLAGS (GCC,
% MinGW, Clang) or COMPFLAGS (MSVC), and optimises with -O.
function args = matlab_mex_flags(flags)
  if flags{1}(1) == '/'
    args = {'-O', ['COMPFLAGS=$COMPFLAGS ' sprintf('%s ', flags{[1 3:end]})]};
  else
    args = {'-O', ['CXXFLAGS=$CXXFLAGS ' sprintf('%s ', flags{[1 3:end]})]};
  end
end

function obj = compile(src, objdir, stem, inc, flags, in_octave)
  if in_octave
    obj = fullfile(objdir, [stem '.o']);
    mex(inc, flags{:}, '-c', src, '-o', obj);
  else
    % MATLAB names the object after its source: give each its own folder
    sub = fullfile(objdir, stem);
    mkdir(sub);
    mex(inc, flags{:}, '-c', src, '-outdir', sub);
    [~, b] = fileparts(src);
    o = dir(fullfile(sub, [b '.o*']));
    obj = fullfile(sub, o(1).name);
  end
end

function remove_folder(d, in_octave)
  if in_octave
    confirm_recursive_rmdir(false, 'local');
  end
  rmdir(d, 's');
end

%!test # flags by compiler: GCC, MinGW and Clang alike, Microsoft's its own
%! gnu = {'-std=c++17', '-O3', '-ffp-contract=off', '-fno-semantic-interposition'};
%! ms = {'/std:c++17', '/O2', '/fp:precise', '/EHs'};
%! for c = {'g++', '/usr/bin/g++-12', 'x86_64-w64-mingw32-g++', 'mingw64-g++', ...
%!          'clang++', 'Clang++', 'ccache g++', 'C:\mingw64\bin\g++.exe'}
%!   assert (build_plugins ('-flags', c{1}), gnu, c{1});
%! end
%! for c = {'cl', 'CL.EXE', 'C:\VS\bin\cl.exe', 'clang-cl', 'MSVCPP170'}
%!   assert (build_plugins ('-flags', c{1}), ms, c{1});
%! end

%!test # Octave's own compiler gets the GCC-style flags
%! assert (build_plugins ('-flags', mkoctfile ('-p', 'CXX'))([1 3]), {'-std=c++17', '-ffp-contract=off'});
