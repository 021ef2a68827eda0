// Ephrandel: one step of quadratic point-interpolation refinement, n values to 3n.
#include "host/gateway.hpp"
#include "pyramid/average.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 2) mexErrMsgTxt("Ephrandel requires two input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Ephrandel requires one output argument.");
    require_real_doubles(prhs, 0, 2, "Ephrandel requires real full double arguments");
    const int D = read_truncated(prhs[1], "Ephrandel requires D to be a number, not empty or NaN");
    const int n = fit_int(row_or_column_length(prhs[0]), 3, "Ephrandel input is too large");
    if (D == 2 && n < 3) mexErrMsgTxt("Ephrandel requires at least three input values for D = 2");

    plhs[0] = new_matrix(1, 3 * n);
    lagrange_refine(data_of(prhs[0]), mxGetPr(plhs[0]), n, D);
}
