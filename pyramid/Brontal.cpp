// Brontal: forward median-interpolating pyramid transform of a signal of length 3^J.
#include "pyramid/median.hpp"
#include "pyramid/pyramid_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const PyramidMessages messages = {
        {"wavetide:Brontal:inputCount", "Brontal requires three input arguments."},
        {"wavetide:Brontal:outputCount", "Brontal requires one output argument."},
        {"wavetide:Brontal:argumentClass", "Brontal requires real full double arguments"},
        {"wavetide:Brontal:notANumber", "Brontal requires L to be a number, not empty or NaN"},
        {"wavetide:Brontal:levelTooSmall", "In Brontal: L must be >= 1"},
        {"wavetide:Brontal:tooLarge", "Brontal input is too large"},
        {"wavetide:Brontal:triadicLength", "Brontal requires triadic length input"},
        {"wavetide:Brontal:notANumber", "Brontal requires D to be a number, not empty or NaN"},
        {"wavetide:Brontal:outOfMemory", "Brontal could not allocate its work memory"},
    };
    // Threads from 3^9: 0.95 of one thread, 3^8: 1.01.
    pyramid_forward_gateway(nlhs, plhs, nrhs, prhs, messages, median_pyramid_forward, 19683);
}
