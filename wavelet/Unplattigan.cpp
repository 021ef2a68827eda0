// Unplattigan: inverse periodic wavelet transform of a square array.
#include "wavelet/gateway_calls.hpp"
#include "wavelet/square.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    run_square_call(nlhs, plhs, nrhs, prhs,
                    {{"wavetide:Unplattigan:inputCount", "Unplattigan requires 3 input arguments."},
                     {"wavetide:Unplattigan:outputCount", "Unplattigan requires one output argument."},
                     {"wavetide:Unplattigan:argumentClass", "Unplattigan requires real full double arguments"},
                     {"wavetide:Unplattigan:tooLarge", "Unplattigan input is too large"},
                     {"wavetide:Unplattigan:dyadicLength", "Unplattigan requires dyadic length sides"},
                     {"wavetide:Unplattigan:notANumber", "Unplattigan requires L to be a number, not empty or NaN"}},
                    {"wavetide:Unplattigan:notSquare", "Unplattigan requires a square array"},
                    {"wavetide:Unplattigan:outOfMemory", "Unplattigan is out of memory"}, square_synthesis);
}
