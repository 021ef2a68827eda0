## ax = panel (rows, cols, k): axes k (counted along rows, as subplot) of a
## rows x cols grid in the current figure, leaving fixed margins in inches
## of its printed size: above each panel for its title, below for tick and
## axis labels, left for the y labels, so that no title touches the panel
## above whatever the figure's height.
function ax = panel (rows, cols, k)
  paper = get (gcf (), "paperposition");
  W = paper(3); H = paper(4);
  r = ceil (k / cols);
  c = k - (r - 1) * cols;
  left = 1.0 / W; right = 0.3 / W; below = 0.8 / H; above = 0.45 / H;
  ax = axes ("position", [(c - 1) / cols + left, (rows - r) / rows + below, ...
                          1 / cols - left - right, 1 / rows - below - above]);
endfunction
