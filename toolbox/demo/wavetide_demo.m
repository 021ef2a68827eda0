## Runs every section of the Wavetide demo (toolbox/demo/demo_*.m, in name
## order). Each section is a function demo_<topic>(outdir) that prints what
## it shows and writes its figures (PNG) into outdir.
function wavetide_demo (outdir)
  if (nargin < 1)
    outdir = fullfile ("build", "demo");
  endif
  if (! exist (outdir, "dir"))
    mkdir (outdir);
  endif
  warning ("off", "Octave:gnuplot-graphics");
  warning ("off", "print:nogs");
  graphics_toolkit ("gnuplot");
  set (0, "defaultfigurevisible", "off");
  set (0, "defaultfigureposition", [0 0 960 640]);
  set (0, "defaultfigurepaperunits", "inches");
  set (0, "defaultfigurepaperposition", [0 0 9.6 6.4]);
  here = fileparts (mfilename ("fullpath"));
  sections = dir (fullfile (here, "demo_*.m"));
  for k = 1:numel (sections)
    [~, name] = fileparts (sections(k).name);
    printf ("== %s ==\n", strrep (name, "demo_", ""));
    feval (name, outdir);
    close all;
  endfor
  printf ("figures written to %s\n", outdir);
endfunction
