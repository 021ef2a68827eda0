// Unwendlock: translation-invariant wavelet synthesis (averages both shift branches).
#include <algorithm>

#include "host/gateway.hpp"
#include "wavelet/invariant.hpp"
#include "wavelet/periodic.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 2) fail({"wavetide:Unwendlock:inputCount", "Unwendlock requires two input arguments."});
    if (nlhs != 1) fail({"wavetide:Unwendlock:outputCount", "Unwendlock requires one output argument."});
    require_real_doubles(prhs, 0, 2,
                         {"wavetide:Unwendlock:argumentClass", "Unwendlock requires real full double arguments"});
    const Failure too_large = {"wavetide:Unwendlock:tooLarge", "Unwendlock input is too large"};
    const int n = fit_int(mxGetM(prhs[0]), std::max<long long>(mxGetN(prhs[0]), 6), too_large);
    const int J = dyadic_exponent(n);
    if (J < 0) fail({"wavetide:Unwendlock:dyadicLength", "Unwendlock requires dyadic length"});
    const long long D = static_cast<long long>(mxGetN(prhs[0])) - 1;
    const int flen = fit_int(element_count(prhs[1]), 2, too_large);
    if (D > J) fail({"wavetide:Unwendlock:depthTooLarge", "Unwendlock requires D <= log_2(n)"});
    if (D < 0) fail({"wavetide:Unwendlock:depthTooSmall", "Unwendlock requires D >= 0"});

    const int threads = call_threads(static_cast<double>(n) * flen);
    plhs[0] = new_matrix(1, n);
    // The synthesis writes each part of the scratch before reading it.
    mxArray* scratch = new_unfilled_matrix(n, static_cast<int>(synthesis_scratch_length(n, threads) / n));
    mxArray* g = new_matrix(flen, 1);
    mirror_filter(data_of(prhs[1]), mxGetPr(g), flen);
    run_threaded(
        [&] {
            translation_invariant_synthesis(mxGetPr(plhs[0]), n, static_cast<int>(D), mxGetPr(g), data_of(prhs[1]),
                                            flen, data_of(prhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Unwendlock:outOfMemory", "Unwendlock is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(g);
}
