// Drassock: forward average-interpolating pyramid transform of a signal of length 3^J.
#include "pyramid/average.hpp"
#include "pyramid/pyramid_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const PyramidMessages messages = {
        {"wavetide:Drassock:inputCount", "Drassock requires three input arguments."},
        {"wavetide:Drassock:outputCount", "Drassock requires one output argument."},
        {"wavetide:Drassock:argumentClass", "Drassock requires real full double arguments"},
        {"wavetide:Drassock:notANumber", "Drassock requires L to be a number, not empty or NaN"},
        {"wavetide:Drassock:levelTooSmall", "In Drassock: L must be >= 1"},
        {"wavetide:Drassock:tooLarge", "Drassock input is too large"},
        {"wavetide:Drassock:triadicLength", "Drassock requires triadic length input"},
        {"wavetide:Drassock:notANumber", "Drassock requires D to be a number, not empty or NaN"},
        {"wavetide:Drassock:outOfMemory", "Drassock could not allocate its work memory"},
    };
    // Threads from 3^12: 0.83 of one thread, 3^11: 1.11.
    pyramid_forward_gateway(nlhs, plhs, nrhs, prhs, messages, average_pyramid_forward, 531441);
}
