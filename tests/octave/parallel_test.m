## A batch through the parallel package's pararrayfun, each column in a
## process of its own, gives the doubles of one serial call on the matrix.
## Skipped, with a line saying so, where the package is not installed.

%!testif ; ! isempty (pkg ("list", "parallel")) || fprintf ("  parallel_test: the parallel package is not installed, its test is skipped\n") < 0
%! pkg load parallel
%! unwind_protect
%!   X = sin ((1:64)' * (1:200) / 7) + cos ((1:64)' .^ 2 * (1:200) / 1000);
%!   h = orthofilter ("db4");
%!   W = pararrayfun (2, @(k) Jostrane (X(:, k), 4, h), 1:200, "UniformOutput", false);
%!   assert (isequal (W, num2cell (Jostrane (X, 4, h), 1)));
%! unwind_protect_cleanup
%!   pkg unload parallel
%! end_unwind_protect
