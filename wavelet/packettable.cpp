// packettable: periodic wavelet packet table of a signal, levels 0 .. D.
#include "wavelet/gateway_calls.hpp"
#include "wavelet/packets.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (nrhs != 3) fail({"wavetide:packettable:inputCount", "packettable requires three input arguments."});
    if (nlhs != 1) fail({"wavetide:packettable:outputCount", "packettable requires one output argument."});
    require_real_doubles(prhs, 0, 3,
                         {"wavetide:packettable:argumentClass", "packettable requires real full double arguments"});
    const Failure too_large = {"wavetide:packettable:tooLarge", "packettable input is too large"};
    const Signals s = signals_of(prhs[0], too_large);
    const int J = dyadic_exponent(s.length);
    if (J < 0) fail({"wavetide:packettable:dyadicLength", "packettable requires dyadic length"});
    if (s.count != 1) fail({"wavetide:packettable:oneSignal", "packettable requires one signal, a row or a column"});
    const int D = read_rounded(
        prhs[1], {"wavetide:packettable:notANumber", "packettable requires D to be a number, not empty or NaN"});
    if (D > J) fail({"wavetide:packettable:depthTooLarge", "packettable requires D <= log_2(n)"});
    if (D < 0) fail({"wavetide:packettable:depthTooSmall", "packettable requires D >= 0"});
    fit_int(s.length, D + 1LL, too_large);
    const int taps = taps_of(prhs[2], too_large);

    const int threads = call_threads(static_cast<double>(s.length) * taps);
    plhs[0] = new_unfilled_output(s.length, D + 1); // packet_analysis writes every value
    mxArray* highpass = new_highpass(prhs[2], taps);
    run_threaded(
        [&] {
            packet_analysis(data_of(prhs[0]), s.length, D, data_of(prhs[2]), mxGetPr(highpass), taps,
                            mxGetPr(plhs[0]), threads);
        },
        {"wavetide:packettable:outOfMemory", "packettable is out of memory"});
    mxDestroyArray(highpass);
}
