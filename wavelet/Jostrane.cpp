// Jostrane: forward periodic wavelet transform of a signal, or of each column.
#include "wavelet/dyadic.hpp"
#include "wavelet/gateway_calls.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const Failure too_large = {"wavetide:Jostrane:tooLarge", "Jostrane input is too large"};
    const DyadicCall call =
        read_dyadic_call(nlhs, nrhs, prhs, 3,
                         {{"wavetide:Jostrane:inputCount", "Jostrane requires three input arguments."},
                          {"wavetide:Jostrane:outputCount", "Jostrane requires one output argument."},
                          {"wavetide:Jostrane:argumentClass", "Jostrane requires real full double arguments"},
                          too_large,
                          {"wavetide:Jostrane:dyadicLength", "Jostrane requires dyadic length"},
                          {"wavetide:Jostrane:notANumber", "Jostrane requires L to be a number, not empty or NaN"}});
    const Signals s = call.signals;
    const int taps = taps_of(prhs[2], too_large);

    const int threads = call_threads(2.0 * s.length * s.count * taps);
    plhs[0] = new_unfilled_output_like(prhs[0]); // periodic_analysis writes every value
    mxArray* scratch = new_matrix(analysis_scratch_length(s.length, taps), threads);
    mxArray* highpass = new_highpass(prhs[2], taps);
    run_threaded(
        [&] {
            periodic_analysis(data_of(prhs[0]), s.length, s.count, call.log2n, call.level, data_of(prhs[2]),
                              mxGetPr(highpass), taps, mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        {"wavetide:Jostrane:outOfMemory", "Jostrane is out of memory"});
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}
