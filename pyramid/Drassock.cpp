// Drassock: forward average-interpolating pyramid transform of a signal of length 3^J.
#include "host/gateway.hpp"
#include "pyramid/median.hpp"
#include "pyramid/pyramid.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) mexErrMsgTxt("Drassock requires three input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Drassock requires one output argument.");
    require_real_doubles(prhs, 0, 3, "Drassock requires real full double arguments");
    const int L = read_truncated(prhs[1], "Drassock requires L to be a number, not empty or NaN");
    if (1 > data_of(prhs[1])[0]) mexErrMsgTxt("In Drassock: L must be >= 1");
    const int n = fit_int(row_or_column_length(prhs[0]), 2, "Drassock input is too large");
    const int J = triadic_exponent(n);
    if (J < 0) mexErrMsgTxt("Drassock requires triadic length input");
    const int D = read_truncated(prhs[2], "Drassock requires D to be a number, not empty or NaN");

    plhs[0] = new_matrix(1, 2 * n);
    mxArray* S = new_matrix(1, n);
    copy_doubles_from(data_of(prhs[0]), 0, mxGetPr(S), n);
    const bool ok = average_pyramid_forward(mxGetPr(S), L, D, mxGetPr(plhs[0]), n, J);
    mxDestroyArray(S);
    if (!ok) mexErrMsgTxt("Drassock could not allocate its work memory");
}
