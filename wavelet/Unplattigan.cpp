// Unplattigan: inverse periodic wavelet transform of a square array.
#include "wavelet/square_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const SquareMessages messages = {
        {"wavetide:Unplattigan:inputCount", "Unplattigan requires 3 input arguments."},
        {"wavetide:Unplattigan:outputCount", "Unplattigan requires one output argument."},
        {"wavetide:Unplattigan:argumentClass", "Unplattigan requires real full double arguments"},
        {"wavetide:Unplattigan:notSquare", "Unplattigan requires a square array"},
        {"wavetide:Unplattigan:tooLarge", "Unplattigan input is too large"},
        {"wavetide:Unplattigan:dyadicLength", "Unplattigan requires dyadic length sides"},
        {"wavetide:Unplattigan:notANumber", "Unplattigan requires L to be a number, not empty or NaN"},
        {"wavetide:Unplattigan:outOfMemory", "Unplattigan is out of memory"},
    };
    square_gateway(nlhs, plhs, nrhs, prhs, messages, square_synthesis);
}
