// Morrowel: forward biorthogonal wavelet transform of a signal, or of each column.
#include "biorthogonal/gateway_calls.hpp"
#include "biorthogonal/transform.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const Failure too_large = {"wavetide:Morrowel:tooLarge", "Morrowel input is too large"};
    const DyadicCall call =
        read_dyadic_call(nlhs, nrhs, prhs, 4,
                         {{"wavetide:Morrowel:inputCount", "Morrowel requires four input arguments."},
                          {"wavetide:Morrowel:outputCount", "Morrowel requires one output argument."},
                          {"wavetide:Morrowel:argumentClass", "Morrowel requires real full double arguments"},
                          too_large,
                          {"wavetide:Morrowel:dyadicLength", "Morrowel requires dyadic length"},
                          {"wavetide:Morrowel:notANumber", "Morrowel requires L to be a number, not empty or NaN"}});
    // Analysis: the lowpass g (argument 3), the highpass mirrored from gd (argument 4).
    run_biorthogonal_call(plhs, prhs, call, 2, 3, call.signals.length / 4 * 3, too_large,
                          {"wavetide:Morrowel:outOfMemory", "Morrowel is out of memory"}, biorthogonal_analysis);
}
