function [names, linkflags] = build_plugins(outdir, root, platform, host, wide_ok)
% -*- texinfo -*-
% @deftypefn  {} {} build_plugins (@var{outdir})
% @deftypefnx {} {@var{names} =} build_plugins (@var{outdir}, @var{root})
% @deftypefnx {} {[@var{flags}, @var{linkflags}] =} build_plugins ("-flags", @var{compiler})
% @deftypefnx {} {[@var{flags}, @var{linkflags}] =} build_plugins ("-flags", @var{compiler}, @var{platform}, @var{host}, @var{unaligned_moves})
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
% through the gateway's @code{extern "C"} functions), and clang-cl
% @code{/clang:-ffp-contract=off} besides.  The flags come from
% @code{flags.list} in @var{root}, which the CMake build and the Octave
% package read as well.
%
% Some flags depend on the platform and the host as well:
% @itemize
% @item GCC on Windows: Windows aligns the stack to 16 bytes only, and GCC
% may spill 32- and 64-byte vectors to it with aligned moves.  Where the
% assembler knows @code{-muse-unaligned-vector-move} (binutils 2.38 and
% later; tried once on a small file), it gets
% @code{-Wa,-muse-unaligned-vector-move}; otherwise the plug-ins are built
% with @code{-DWAVETIDE_VECTORS_OF_16_BYTES}, which keeps them to two-lane
% vectors (same results, slower).
% @item MATLAB on Linux ships a C++ runtime older than a recent GCC's: the
% plug-ins link theirs statically (@code{-static-libstdc++ -static-libgcc}),
% and so on Windows with MinGW.
% @item MATLAB builds with @code{-R2018a}, the interleaved-complex API.
% @end itemize
%
% @code{build_plugins ("-flags", @var{compiler})} returns the compiler and
% linker flags for a compiler command or name on this platform and host
% without building anything; @var{platform} (@qcode{"linux"},
% @qcode{"windows"} or @qcode{"mac"}), @var{host} (@qcode{"octave"} or
% @qcode{"matlab"}) and whether the assembler knows unaligned vector moves
% (default true) can be given instead.  Warnings are not treated as errors
% here.
%
% Example:
% @example
% outdir = tempname (); build_plugins (outdir); addpath (outdir);
% help Jostrane
% @end example
% @seealso{orthofilter, biorthofilter}
% @end deftypefn

  in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
  if nargin >= 1 && strcmp(outdir, '-flags')
    if nargin < 3, platform = this_platform(); end
    if nargin < 4, host = this_host(in_octave); end
    if nargin < 5, wide_ok = true; end
    % flags.list: beside this file in a build's folder of plug-ins, else in
    % the source tree above it
    here = fileparts(mfilename('fullpath'));
    if ~exist(fullfile(here, 'flags.list'), 'file')
      here = fileparts(here);
    end
    [names, linkflags] = compiler_flags(root, platform, host, wide_ok, here);
    return;
  end
  if nargin < 1 || nargin > 2
    error('wavetide:build_plugins:usage', 'build_plugins: call as build_plugins(outdir) or build_plugins(outdir, root)');
  end
  if nargin < 2
    root = fileparts(fileparts(mfilename('fullpath')));
  end
  if ~exist(outdir, 'dir')
    mkdir(outdir);
  end
  compiler = compiler_name(in_octave);
  objdir = tempname();
  mkdir(objdir);
  cleanup = onCleanup(@() remove_folder(objdir, in_octave));
  platform = this_platform();
  wide_ok = true;
  if strcmp(platform, 'windows') && ~is_microsoft(compiler)
    wide_ok = assembler_takes('-Wa,-muse-unaligned-vector-move', objdir, in_octave);
    if ~wide_ok
      fprintf(['build_plugins: the assembler does not know -muse-unaligned-vector-move; ' ...
               'the plug-ins keep to two-lane vectors\n']);
    end
  end
  [flags, linkflags] = compiler_flags(compiler, platform, this_host(in_octave), wide_ok, root);
  if in_octave
    % mkoctfile takes compiler flags from CXXFLAGS and linker flags from LDFLAGS only
    restore = set_env_flags('CXXFLAGS', flags);
    restore_ld = set_env_flags('LDFLAGS', linkflags);
    flags = {};
  else
    flags = matlab_mex_flags(flags, linkflags);
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

  % the help files and the other toolbox functions, and the flags
  % build_plugins ("-flags", ...) reads there
  toolbox = dir(fullfile(root, 'toolbox', '*.m'));
  for k = 1:numel(toolbox)
    copyfile(fullfile(root, 'toolbox', toolbox(k).name), outdir);
  end
  copyfile(fullfile(root, 'flags.list'), outdir);
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

% The flags for a compiler, a platform and a host: those of the compiler's
% family in flags.list of the source tree root (Microsoft's: cl, clang-cl,
% MATLAB's MSVC* configurations; GCC, MinGW and Clang: gnu), with the
% Windows stack cure and the static C++ runtime where the platform and host
% need them.
function [flags, linkflags] = compiler_flags(name, platform, host, wide_ok, root)
  linkflags = {};
  lines = regexp(fileread(fullfile(root, 'flags.list')), ...
                 '^([a-z-]+) +[a-z]+ +(\S+) *$', 'tokens', 'lineanchors');
  lines = vertcat(lines{:});
  if is_microsoft(name)
    families = {'cl'};
    if strcmp(compiler_base(name), 'clang-cl')
      families{end+1} = 'clang-cl';
    end
  else
    families = {'gnu'};
  end
  flags = {};
  for f = 1:numel(families)
    flags = [flags, lines(strcmp(lines(:, 1), families{f}), 2)']; %#ok<AGROW>
  end
  if is_microsoft(name)
    return;
  end
  if strcmp(platform, 'windows')
    if wide_ok
      flags{end+1} = '-Wa,-muse-unaligned-vector-move';
    else
      flags{end+1} = '-DWAVETIDE_VECTORS_OF_16_BYTES';
    end
  end
  if strcmp(host, 'matlab') && ~strcmp(platform, 'mac')
    linkflags = {'-static-libstdc++', '-static-libgcc'};
  end
end

function yes = is_microsoft(name)
  yes = ~isempty(regexp(compiler_base(name), '^(cl|clang-cl|msvc.*)$', 'once'));
end

% The compiler's program name in lower case, without folder or .exe.
function base = compiler_base(name)
  base = strtok(regexprep(lower(strtrim(name)), '^.*[\\/]', ''));
  base = regexprep(base, '\.exe$', '');
end

function p = this_platform()
  if ispc()
    p = 'windows';
  elseif ismac()
    p = 'mac';
  else
    p = 'linux';
  end
end

function h = this_host(in_octave)
  if in_octave
    h = 'octave';
  else
    h = 'matlab';
  end
end

% Whether the host's mex compiles a small file with flag added.
function ok = assembler_takes(flag, objdir, in_octave)
  src = fullfile(objdir, 'probe.cpp');
  fid = fopen(src, 'w');
  fprintf(fid, 'double probe(double x) { return 2 * x; }\n');
  fclose(fid);
  try
    if in_octave
      restore = set_env_flags('CXXFLAGS', {flag}); %#ok<NASGU>
      evalc('mex(''-c'', src, ''-o'', fullfile(objdir, ''probe.o''))');
    else
      evalc('mex(''-c'', src, ''-outdir'', objdir, [''CXXFLAGS=$CXXFLAGS '' flag])');
    end
    ok = true;
  catch
    ok = false;
  end
end

% Appends flags to an environment variable of mkoctfile's (CXXFLAGS from
% its own value); returns what restores it.
function restore = set_env_flags(variable, flags)
  saved = getenv(variable);
  restore = onCleanup(@() setenv(variable, saved));
  if isempty(flags)
    return;
  end
  start = saved;
  if strcmp(variable, 'CXXFLAGS')
    start = mkoctfile('-p', 'CXXFLAGS');
  end
  setenv(variable, strtrim([start sprintf(' %s', flags{:})]));
end

% MATLAB's mex takes compiler flags as additions to its CXXFLAGS (GCC,
% MinGW, Clang) or COMPFLAGS (MSVC), linker flags as additions to its
% LDFLAGS, optimises with -O and offers the interleaved-complex API with
% -R2018a.
function args = matlab_mex_flags(flags, linkflags)
  args = {'-R2018a', '-O'};
  if flags{1}(1) == '/'
    args{end+1} = ['COMPFLAGS=$COMPFLAGS ' sprintf('%s ', flags{[1 3:end]})];
  else
    args{end+1} = ['CXXFLAGS=$CXXFLAGS ' sprintf('%s ', flags{[1 3:end]})];
  end
  if ~isempty(linkflags)
    args{end+1} = ['LDFLAGS=$LDFLAGS ' sprintf('%s ', linkflags{:})];
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
%!   assert (build_plugins ('-flags', c{1}, 'linux', 'octave'), gnu, c{1});
%! end
%! for c = {'cl', 'CL.EXE', 'C:\VS\bin\cl.exe', 'MSVCPP170'}
%!   [f, l] = build_plugins ('-flags', c{1}, 'windows', 'matlab', false);
%!   assert ({f, l}, {ms, {}}, c{1});
%! end
%! # clang-cl reads /fp:precise as contracting: its own flag, last
%! assert (build_plugins ('-flags', 'C:\LLVM\bin\clang-cl.exe', 'windows', 'matlab'), ...
%!         [ms {'/clang:-ffp-contract=off'}]);

%!test # by platform and host: the Windows stack cure, the static C++ runtime for MATLAB
%! gnu = {'-std=c++17', '-O3', '-ffp-contract=off', '-fno-semantic-interposition'};
%! static = {'-static-libstdc++', '-static-libgcc'};
%! cases = {'linux',   'octave', true,  gnu,                                         {}
%!          'linux',   'matlab', true,  gnu,                                         static
%!          'mac',     'matlab', true,  gnu,                                         {}
%!          'mac',     'octave', false, gnu,                                         {}
%!          'windows', 'octave', true,  [gnu {'-Wa,-muse-unaligned-vector-move'}],  {}
%!          'windows', 'octave', false, [gnu {'-DWAVETIDE_VECTORS_OF_16_BYTES'}],   {}
%!          'windows', 'matlab', true,  [gnu {'-Wa,-muse-unaligned-vector-move'}],  static};
%! for k = 1:rows (cases)
%!   [f, l] = build_plugins ('-flags', 'g++', cases{k, 1:3});
%!   assert ({f, l}, cases(k, 4:5), sprintf ('%s, %s', cases{k, 1:2}));
%! end

%!test # Octave's own compiler here gets the GCC-style flags
%! assert (build_plugins ('-flags', mkoctfile ('-p', 'CXX'))([1 3]), {'-std=c++17', '-ffp-contract=off'});
