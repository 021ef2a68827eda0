// Unbrontal: inverse median-interpolating pyramid transform (undoes Brontal).
#include "pyramid/median.hpp"
#include "pyramid/pyramid_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const PyramidMessages messages = {
        {"wavetide:Unbrontal:inputCount", "Unbrontal requires three input arguments."},
        {"wavetide:Unbrontal:outputCount", "Unbrontal requires one output argument."},
        {"wavetide:Unbrontal:argumentClass", "Unbrontal requires real full double arguments"},
        {"wavetide:Unbrontal:notANumber", "Unbrontal requires L to be a number, not empty or NaN"},
        {"wavetide:Unbrontal:levelTooSmall", "In Unbrontal: L must be >= 1"},
        {"wavetide:Unbrontal:tooLarge", "Unbrontal input is too large"},
        {"wavetide:Unbrontal:incompatibleSize", "Input WC to Unbrontal is of incompatible size"},
        {"wavetide:Unbrontal:notANumber", "Unbrontal requires D to be a number, not empty or NaN"},
        {"wavetide:Unbrontal:outOfMemory", "Unbrontal could not allocate its work memory"},
    };
    // Threads from 3^10: 0.73 of one thread (a level of 3^10 is the least that splits).
    pyramid_inverse_gateway(nlhs, plhs, nrhs, prhs, messages, median_refine, 59049);
}
