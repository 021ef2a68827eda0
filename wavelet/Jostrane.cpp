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

    // Each level reads its signal twice, once per channel.
    const int threads = call_threads(2.0 * s.length * s.count * taps);
    plhs[0] = new_unfilled_output_like(prhs[0]); // periodic_analysis writes every value
    run_periodic_call(plhs, prhs, call, taps, threads, new_matrix(analysis_scratch_length(s.length, taps), threads),
                      periodic_analysis, {"wavetide:Jostrane:outOfMemory", "Jostrane is out of memory"});
}
