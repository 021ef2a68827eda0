// Unbrontal: inverse median-interpolating pyramid transform (undoes Brontal).
#include "host/gateway.hpp"
#include "pyramid/median.hpp"
#include "pyramid/pyramid.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) mexErrMsgTxt("Unbrontal requires three input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Unbrontal requires one output argument.");
    require_real_doubles(prhs, 0, 3, "Unbrontal requires real full double arguments");
    const int L = read_truncated(prhs[1], "Unbrontal requires L to be a number, not empty or NaN");
    if (1 > data_of(prhs[1])[0]) mexErrMsgTxt("In Unbrontal: L must be >= 1");
    const int n = fit_int(row_or_column_length(prhs[0]), 1, "Unbrontal input is too large") / 2;
    const int J = triadic_exponent(n);
    if (J < 0) mexErrMsgTxt("Input WC to Unbrontal is of incompatible size");
    const int D = read_truncated(prhs[2], "Unbrontal requires D to be a number, not empty or NaN");

    plhs[0] = new_matrix(1, n);
    if (!pyramid_inverse(data_of(prhs[0]), L, D, mxGetPr(plhs[0]), n, J, median_refine))
        mexErrMsgTxt("Unbrontal could not allocate its work memory");
}
