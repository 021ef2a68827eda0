// Ephrandel: one step of quadratic point-interpolation refinement, n values to 3n.
#include "pyramid/average.hpp"
#include "pyramid/pyramid_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const RefineMessages messages = {
        {"wavetide:Ephrandel:inputCount", "Ephrandel requires two input arguments."},
        {"wavetide:Ephrandel:outputCount", "Ephrandel requires one output argument."},
        {"wavetide:Ephrandel:argumentClass", "Ephrandel requires real full double arguments"},
        {"wavetide:Ephrandel:notANumber", "Ephrandel requires D to be a number, not empty or NaN"},
        {"wavetide:Ephrandel:tooLarge", "Ephrandel input is too large"},
        {"wavetide:Ephrandel:tooFewValues", "Ephrandel requires at least three input values for D = 2"},
    };
    pyramid_refine_gateway(nlhs, plhs, nrhs, prhs, messages, lagrange_refine);
}
