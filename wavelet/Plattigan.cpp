// Plattigan: forward periodic wavelet transform of a square array.
#include "wavelet/gateway_calls.hpp"
#include "wavelet/square.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    run_square_call(nlhs, plhs, nrhs, prhs,
                    {{"wavetide:Plattigan:inputCount", "Plattigan requires 3 input arguments."},
                     {"wavetide:Plattigan:outputCount", "Plattigan requires one output argument."},
                     {"wavetide:Plattigan:argumentClass", "Plattigan requires real full double arguments"},
                     {"wavetide:Plattigan:tooLarge", "Plattigan input is too large"},
                     {"wavetide:Plattigan:dyadicLength", "Plattigan requires dyadic length sides"},
                     {"wavetide:Plattigan:notANumber", "Plattigan requires L to be a number, not empty or NaN"}},
                    {"wavetide:Plattigan:notSquare", "Plattigan requires a square array"},
                    {"wavetide:Plattigan:outOfMemory", "Plattigan is out of memory"}, square_analysis);
}
