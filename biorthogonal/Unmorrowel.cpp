// Unmorrowel: inverse biorthogonal wavelet transform of a signal, or of each column.
#include "biorthogonal/gateway_calls.hpp"
#include "biorthogonal/transform.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const Failure too_large = {"wavetide:Unmorrowel:tooLarge", "Unmorrowel input is too large"};
    const DyadicCall call =
        read_dyadic_call(nlhs, nrhs, prhs, 4,
                         {{"wavetide:Unmorrowel:inputCount", "Unmorrowel requires four input arguments."},
                          {"wavetide:Unmorrowel:outputCount", "Unmorrowel requires one output argument."},
                          {"wavetide:Unmorrowel:argumentClass", "Unmorrowel requires real full double arguments"},
                          too_large,
                          {"wavetide:Unmorrowel:dyadicLength", "Unmorrowel requires dyadic length"},
                          {"wavetide:Unmorrowel:notANumber",
                           "Unmorrowel requires L to be a number, not empty or NaN"}});
    // Synthesis: the dual lowpass gd (argument 4), the highpass mirrored from g (argument 3).
    run_biorthogonal_call(plhs, prhs, call, 3, 2, call.signals.length / 2, too_large,
                          {"wavetide:Unmorrowel:outOfMemory", "Unmorrowel is out of memory"}, biorthogonal_synthesis);
}
