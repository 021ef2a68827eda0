// Orrimac: cosine-packet table of a signal, levels 0 .. D.
#include <algorithm>

#include "cosine_packets/packet_table.hpp"
#include "host/gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) fail({"wavetide:Orrimac:inputCount", "Orrimac requires three input arguments."});
    if (nlhs != 1) fail({"wavetide:Orrimac:outputCount", "Orrimac requires one output argument."});
    require_real_doubles(prhs, 0, 2, {"wavetide:Orrimac:argumentClass", "Orrimac requires real full double arguments"});
    const long long length = vector_length(prhs[0]);
    const int J = dyadic_exponent(length);
    if (J < 0) fail({"wavetide:Orrimac:dyadicLength", "Orrimac requires dyadic length"});
    const int D = read_rounded_by_truncation(
        prhs[1], {"wavetide:Orrimac:notANumber", "Orrimac requires D to be a number, not empty or NaN"});
    if (D > J) fail({"wavetide:Orrimac:depthTooLarge", "Orrimac requires D <= log_2(n)"});
    if (D < -1) fail({"wavetide:Orrimac:depthTooSmall", "Orrimac requires D >= -1"});
    const int n = fit_int(length, std::max(D + 1, 7), {"wavetide:Orrimac:tooLarge", "Orrimac input is too large"});

    // An M x 0 signal holds nothing to read: its table stays zero.
    const bool read = element_count(prhs[0]) > 0;
    const int threads = D < 0 || !read ? 1 : call_threads(cosine_packet_work(n, D));
    const long long columns = cosine_packet_analysis_scratch(n, threads) / std::max(n, 1);
    fit_int(n, columns, {"wavetide:Orrimac:tooLarge", "Orrimac input is too large"});
    plhs[0] = read ? new_unfilled_output(n, D + 1) : new_matrix(n, D + 1);
    mxArray* scratch = new_unfilled_matrix(n, static_cast<int>(columns));
    if (read)
        run_threaded(
            [&] { cosine_packet_analysis(data_of(prhs[0]), n, D, mxGetPr(plhs[0]), mxGetPr(scratch), threads); },
            {"wavetide:Orrimac:outOfMemory", "Orrimac is out of memory"});
    mxDestroyArray(scratch);
}
