function names = build_plugins(outdir, root)
% -*- texinfo -*-
% @deftypefn  {} {} build_plugins (@var{outdir})
% @deftypefnx {} {@var{names} =} build_plugins (@var{outdir}, @var{root})
% Compile every Wavetide plug-in with the host's own @code{mex} command.
%
% Works in MATLAB (its @code{mex}, with a C++17 compiler configured by
% @code{mex -setup C++}) and in Octave (where @code{mex} runs
% @code{mkoctfile --mex}); this file is written in the language both share.
% The plug-ins are found in the source tree @var{root} (default: the folder
% above this file): in each subsystem folder, a source @code{<Name>.cpp}
% with a capitalised name is a plug-in, the other @code{.cpp} files are the
% kernels its plug-ins share, and @code{host/gateway.cpp} goes into every
% plug-in.  Kernels are compiled once per subsystem.  Each plug-in lands in
% @var{outdir} with its help file @code{toolbox/<Name>.m} beside it, and so
% do the other toolbox functions; @code{addpath (outdir)} then gives the
% whole toolbox.  Returns the names of the plug-ins built.
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
  if nargin < 2
    root = fileparts(fileparts(mfilename('fullpath')));
  end
  if ~exist(outdir, 'dir')
    mkdir(outdir);
  end
  in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
  objdir = tempname();
  mkdir(objdir);
  cleanup = onCleanup(@() remove_folder(objdir, in_octave));
  host = fullfile(root, 'host', 'gateway.cpp');
  inc = ['-I' root];

  names = {};
  subsystems = {'wavelet', 'biorthogonal', 'trig', 'cosine_packets', 'pyramid'};
  for s = 1:numel(subsystems)
    folder = fullfile(root, subsystems{s});
    sources = dir(fullfile(folder, '*.cpp'));
    if isempty(sources)
      continue;
    end
    objs = {compile(host, objdir, 'host_gateway', inc, in_octave)};
    plugins = {};
    for k = 1:numel(sources)
      base = sources(k).name(1:end-4);
      if isstrprop(base(1), 'upper')
        plugins{end+1} = base; %#ok<AGROW>
      else
        objs{end+1} = compile(fullfile(folder, sources(k).name), objdir, ...
                              [subsystems{s} '_' base], inc, in_octave); %#ok<AGROW>
      end
    end
    % the trigonometric tables take their sines and cosines from SLEEF
    libs = {};
    if strcmp(subsystems{s}, 'trig')
      libs = {'-lsleef'};
    end
    for k = 1:numel(plugins)
      src = fullfile(folder, [plugins{k} '.cpp']);
      if in_octave
        mex(inc, '-O2', src, objs{:}, libs{:}, '-o', fullfile(outdir, plugins{k}));
      else
        mex(inc, '-O', 'CXXFLAGS=$CXXFLAGS -std=c++17', src, objs{:}, libs{:}, ...
            '-outdir', outdir, '-output', plugins{k});
      end
    end
    names = [names, plugins]; %#ok<AGROW>
  end

  % the help files and the other toolbox functions
  toolbox = dir(fullfile(root, 'toolbox', '*.m'));
  for k = 1:numel(toolbox)
    copyfile(fullfile(root, 'toolbox', toolbox(k).name), outdir);
  end
  fprintf('build_plugins: %d plug-ins in %s\n', numel(names), outdir);
end

function obj = compile(src, objdir, stem, inc, in_octave)
  if in_octave
    obj = fullfile(objdir, [stem '.o']);
    mex(inc, '-O2', '-c', src, '-o', obj);
  else
    % MATLAB names the object after its source: give each its own folder
    sub = fullfile(objdir, stem);
    mkdir(sub);
    mex(inc, '-O', 'CXXFLAGS=$CXXFLAGS -std=c++17', '-c', src, '-outdir', sub);
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
