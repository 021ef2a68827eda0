// Tessaroy: synthesis of a periodic wavelet packet table into one signal.
#include "wavelet/gateway_calls.hpp"
#include "wavelet/packets.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TableCall t =
        read_table_call(nlhs, nrhs, prhs, 3,
                        {{"wavetide:Tessaroy:inputCount", "Tessaroy requires two input arguments."},
                         {"wavetide:Tessaroy:outputCount", "Tessaroy requires one output argument."},
                         {"wavetide:Tessaroy:argumentClass", "Tessaroy requires real full double arguments"},
                         {"wavetide:Tessaroy:tooLarge", "Tessaroy input is too large"},
                         {"wavetide:Tessaroy:dyadicLength", "Tessaroy requires dyadic length"},
                         {"wavetide:Tessaroy:depthTooLarge", "Tessaroy requires D <= log_2(n)"},
                         {"wavetide:Tessaroy:depthTooSmall", "Tessaroy requires D >= 0"}});

    const int threads = call_threads(static_cast<double>(t.n) * t.taps);
    plhs[0] = new_matrix(1, t.n);
    mxArray* scratch =
        new_matrix(t.n, static_cast<int>((packet_synthesis_scratch_length(t.n, threads) + t.n - 1) / t.n));
    mxArray* highpass = new_highpass(prhs[1], t.taps);
    run_threaded(
        [&] {
            packet_synthesis(data_of(prhs[0]), t.n, t.depth, data_of(prhs[1]), mxGetPr(highpass), t.taps,
                             mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Tessaroy:outOfMemory", "Tessaroy is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}
