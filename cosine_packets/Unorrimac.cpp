// Unorrimac: the signal a cosine-packet table represents, summed over its columns.
#include <algorithm>

#include "cosine_packets/packet_table.hpp"
#include "host/gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs < 1) fail({"wavetide:Unorrimac:inputCount", "Unorrimac requires one input argument."});
    if (nlhs != 1) fail({"wavetide:Unorrimac:outputCount", "Unorrimac requires one output argument."});
    require_real_doubles(prhs, 0, 1,
                         {"wavetide:Unorrimac:argumentClass", "Unorrimac requires real full double arguments"});
    const int n = fit_int(mxGetM(prhs[0]), std::max<long long>(mxGetN(prhs[0]), 9),
                          {"wavetide:Unorrimac:tooLarge", "Unorrimac input is too large"});
    const int J = dyadic_exponent(n);
    if (J < 0) fail({"wavetide:Unorrimac:dyadicLength", "Unorrimac requires dyadic length"});
    const long long D = static_cast<long long>(mxGetN(prhs[0])) - 1;
    if (D > J) fail({"wavetide:Unorrimac:depthTooLarge", "Unorrimac requires D <= log_2(n)"});
    if (D < 0) fail({"wavetide:Unorrimac:depthTooSmall", "Unorrimac requires D >= 0"});

    const int threads = call_threads(cosine_packet_synthesis_thread_work(n, static_cast<int>(D)));
    const long long columns = cosine_packet_synthesis_scratch(n, static_cast<int>(D), threads) / n;
    fit_int(n, columns, {"wavetide:Unorrimac:tooLarge", "Unorrimac input is too large"});
    plhs[0] = new_unfilled_output(1, n);
    mxArray* scratch = new_unfilled_matrix(n, static_cast<int>(columns));
    run_threaded(
        [&] {
            cosine_packet_synthesis(data_of(prhs[0]), n, static_cast<int>(D), mxGetPr(plhs[0]), mxGetPr(scratch),
                                    threads);
        },
        {"wavetide:Unorrimac:outOfMemory", "Unorrimac is out of memory"});
    mxDestroyArray(scratch);
}
