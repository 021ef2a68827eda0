// Unjostrane: inverse periodic wavelet transform of a signal, or of each column.
#include "wavelet/dyadic.hpp"
#include "wavelet/gateway_calls.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const Failure too_large = {"wavetide:Unjostrane:tooLarge", "Unjostrane input is too large"};
    const DyadicCall call =
        read_dyadic_call(nlhs, nrhs, prhs, 3,
                         {{"wavetide:Unjostrane:inputCount", "Unjostrane requires three input arguments."},
                          {"wavetide:Unjostrane:outputCount", "Unjostrane requires one output argument."},
                          {"wavetide:Unjostrane:argumentClass", "Unjostrane requires real full double arguments"},
                          too_large,
                          {"wavetide:Unjostrane:dyadicLength", "Unjostrane requires dyadic length"},
                          {"wavetide:Unjostrane:notANumber",
                           "Unjostrane requires L to be a number, not empty or NaN"}});
    const Signals s = call.signals;
    const int taps = taps_of(prhs[2], too_large);

    // periodic_synthesis writes every value of the output, and of the scratch before reading it.
    const int threads = call_threads(static_cast<double>(s.length) * s.count * taps);
    plhs[0] = new_unfilled_output_like(prhs[0]);
    run_periodic_call(plhs, prhs, call, taps, threads, new_unfilled_matrix(s.length / 2, threads), periodic_synthesis,
                      {"wavetide:Unjostrane:outOfMemory", "Unjostrane is out of memory"});
}
