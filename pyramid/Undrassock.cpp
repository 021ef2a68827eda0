// Undrassock: inverse average-interpolating pyramid transform (undoes Drassock).
#include "host/gateway.hpp"
#include "pyramid/average.hpp"
#include "pyramid/pyramid.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) mexErrMsgTxt("Undrassock requires three input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Undrassock requires one output argument.");
    require_real_doubles(prhs, 0, 3, "Undrassock requires real full double arguments");
    const int L = read_truncated(prhs[1], "Undrassock requires L to be a number, not empty or NaN");
    if (1 > data_of(prhs[1])[0]) mexErrMsgTxt("In Undrassock: L must be >= 1");
    const int n = fit_int(row_or_column_length(prhs[0]), 1, "Undrassock input is too large") / 2;
    const int J = triadic_exponent(n);
    if (J < 0) mexErrMsgTxt("Input WC to Undrassock is of incompatible size");
    const int D = read_truncated(prhs[2], "Undrassock requires D to be a number, not empty or NaN");

    plhs[0] = new_matrix(1, n);
    if (!pyramid_inverse(data_of(prhs[0]), L, D, mxGetPr(plhs[0]), n, J, average_refine))
        mexErrMsgTxt("Undrassock could not allocate its work memory");
}
