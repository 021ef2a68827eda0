// Tessaroy: synthesis of a periodic wavelet packet table into one signal.
#include <algorithm>

#include "host/gateway.hpp"
#include "wavelet/packets.hpp"
#include "wavelet/periodic.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 2) fail({"wavetide:Tessaroy:inputCount", "Tessaroy requires two input arguments."});
    if (nlhs != 1) fail({"wavetide:Tessaroy:outputCount", "Tessaroy requires one output argument."});
    require_real_doubles(prhs, 0, 2,
                         {"wavetide:Tessaroy:argumentClass", "Tessaroy requires real full double arguments"});
    const Failure too_large = {"wavetide:Tessaroy:tooLarge", "Tessaroy input is too large"};
    const int n = fit_int(mxGetM(prhs[0]), std::max<long long>(mxGetN(prhs[0]), 3), too_large);
    const int J = dyadic_exponent(n);
    if (J < 0) fail({"wavetide:Tessaroy:dyadicLength", "Tessaroy requires dyadic length"});
    const long long D = static_cast<long long>(mxGetN(prhs[0])) - 1;
    const int m = fit_int(element_count(prhs[1]), 2, too_large);
    if (D > J) fail({"wavetide:Tessaroy:depthTooLarge", "Tessaroy requires D <= log_2(n)"});
    if (D < 0) fail({"wavetide:Tessaroy:depthTooSmall", "Tessaroy requires D >= 0"});

    const int threads = call_threads(static_cast<double>(n) * m);
    plhs[0] = new_matrix(1, n);
    mxArray* scratch = new_matrix(n, static_cast<int>((packet_synthesis_scratch_length(n, threads) + n - 1) / n));
    mxArray* g = new_matrix(m, 1);
    mirror_filter(data_of(prhs[1]), mxGetPr(g), m);
    run_threaded(
        [&] {
            packet_synthesis(data_of(prhs[0]), n, static_cast<int>(D), data_of(prhs[1]), mxGetPr(g), m,
                             mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Tessaroy:outOfMemory", "Tessaroy is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(g);
}
