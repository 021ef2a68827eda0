// Olmister: one step of median-interpolation refinement, n values to 3n.
#include "pyramid/median.hpp"
#include "pyramid/pyramid_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const RefineMessages messages = {
        {"wavetide:Olmister:inputCount", "Olmister requires two input arguments."},
        {"wavetide:Olmister:outputCount", "Olmister requires one output argument."},
        {"wavetide:Olmister:argumentClass", "Olmister requires real full double arguments"},
        {"wavetide:Olmister:notANumber", "Olmister requires D to be a number, not empty or NaN"},
        {"wavetide:Olmister:tooLarge", "Olmister input is too large"},
        {"wavetide:Olmister:tooFewValues", "Olmister requires at least three input values for D = 2"},
    };
    pyramid_refine_gateway(nlhs, plhs, nrhs, prhs, messages, median_refine);
}
