// Undrassock: inverse average-interpolating pyramid transform (undoes Drassock).
#include "pyramid/average.hpp"
#include "pyramid/pyramid_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const PyramidMessages messages = {
        {"wavetide:Undrassock:inputCount", "Undrassock requires three input arguments."},
        {"wavetide:Undrassock:outputCount", "Undrassock requires one output argument."},
        {"wavetide:Undrassock:argumentClass", "Undrassock requires real full double arguments"},
        {"wavetide:Undrassock:notANumber", "Undrassock requires L to be a number, not empty or NaN"},
        {"wavetide:Undrassock:levelTooSmall", "In Undrassock: L must be >= 1"},
        {"wavetide:Undrassock:tooLarge", "Undrassock input is too large"},
        {"wavetide:Undrassock:incompatibleSize", "Input WC to Undrassock is of incompatible size"},
        {"wavetide:Undrassock:notANumber", "Undrassock requires D to be a number, not empty or NaN"},
        {"wavetide:Undrassock:outOfMemory", "Undrassock could not allocate its work memory"},
    };
    // Threads from 3^13: 0.67 of one thread, 3^12: 1.03.
    pyramid_inverse_gateway(nlhs, plhs, nrhs, prhs, messages, average_refine, 1594323);
}
