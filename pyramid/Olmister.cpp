// Olmister: one step of median-interpolation refinement, n values to 3n.
#include "host/gateway.hpp"
#include "pyramid/median.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 2) mexErrMsgTxt("Olmister requires two input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Olmister requires one output argument.");
    require_real_doubles(prhs, 0, 2, "Olmister requires real full double arguments");
    const int D = read_truncated(prhs[1], "Olmister requires D to be a number, not empty or NaN");
    const int n = fit_int(row_or_column_length(prhs[0]), 3, "Olmister input is too large");
    if (D == 2 && n < 3) mexErrMsgTxt("Olmister requires at least three input values for D = 2");

    plhs[0] = new_matrix(1, 3 * n);
    median_refine(data_of(prhs[0]), mxGetPr(plhs[0]), n, D);
}
