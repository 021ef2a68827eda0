// Wendlock: translation-invariant wavelet analysis of a signal (all shift paths).
#include "wavelet/gateway_calls.hpp"
#include "wavelet/invariant.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) fail({"wavetide:Wendlock:inputCount", "Wendlock requires three input arguments."});
    if (nlhs != 1) fail({"wavetide:Wendlock:outputCount", "Wendlock requires one output argument."});
    require_real_doubles(prhs, 0, 3,
                         {"wavetide:Wendlock:argumentClass", "Wendlock requires real full double arguments"});
    // An M x 0 matrix holds no signal at all: length 0, refused below.
    const Failure too_large = {"wavetide:Wendlock:tooLarge", "Wendlock input is too large"};
    const int n = fit_int(mxGetN(prhs[0]) == 0 ? 0 : vector_length(prhs[0]), 6, too_large);
    const int J = dyadic_exponent(n);
    if (J < 0) fail({"wavetide:Wendlock:dyadicLength", "Wendlock requires dyadic length"});
    const int L =
        read_rounded(prhs[1], {"wavetide:Wendlock:notANumber", "Wendlock requires L to be a number, not empty or NaN"});
    const long long D = static_cast<long long>(J) - L;
    const int taps = taps_of(prhs[2], too_large);
    if (D > J) fail({"wavetide:Wendlock:depthTooLarge", "Wendlock requires D < log_2(n)"});
    if (D < 0) fail({"wavetide:Wendlock:depthTooSmall", "Wendlock requires D >= 0"});
    fit_int(n, D + 1, too_large);

    const int threads = call_threads(static_cast<double>(n) * taps);
    // The analysis writes every value of the table and of the scratch before reading it.
    plhs[0] = new_unfilled_output(n, static_cast<int>(D) + 1);
    mxArray* scratch = new_unfilled_matrix(n, 1);
    mxArray* highpass = new_highpass(prhs[2], taps);
    run_threaded(
        [&] {
            translation_invariant_analysis(data_of(prhs[0]), n, static_cast<int>(D), data_of(prhs[2]),
                                           mxGetPr(highpass), taps, mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Wendlock:outOfMemory", "Wendlock is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}
