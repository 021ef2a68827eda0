// Wendlock: translation-invariant wavelet analysis of a signal (all shift paths).
#include "host/gateway.hpp"
#include "wavelet/invariant.hpp"
#include "wavelet/periodic.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) mexErrMsgTxt("Wendlock requires three input arguments.");
    if (nlhs != 1) mexErrMsgTxt("Wendlock requires one output argument.");
    require_real_doubles(prhs, 0, 3, "Wendlock requires real full double arguments");
    // An M x 0 matrix holds no signal at all: length 0, refused below.
    const int n = fit_int(mxGetN(prhs[0]) == 0 ? 0 : vector_length(prhs[0]), 6, "Wendlock input is too large");
    const int J = dyadic_exponent(n);
    if (J < 0) mexErrMsgTxt("Wendlock requires dyadic length");
    const int L = read_rounded(prhs[1], "Wendlock requires L to be a number, not empty or NaN");
    const long long D = static_cast<long long>(J) - L;
    const int flen = fit_int(element_count(prhs[2]), 2, "Wendlock input is too large");
    if (D > J) mexErrMsgTxt("Wendlock requires D < log_2(n)");
    if (D < 0) mexErrMsgTxt("Wendlock requires D >= 0");
    fit_int(n, D + 1, "Wendlock input is too large");

    plhs[0] = new_matrix(n, static_cast<int>(D) + 1);
    mxArray* scratch = new_matrix(n, 1);
    mxArray* g = new_matrix(flen, 1);
    mirror_filter(data_of(prhs[2]), mxGetPr(g), flen);
    translation_invariant_analysis(data_of(prhs[0]), n, static_cast<int>(D), mxGetPr(g), data_of(prhs[2]), flen,
                                   mxGetPr(plhs[0]), mxGetPr(scratch));
    mxDestroyArray(scratch);
    mxDestroyArray(g);
}
