// Pimbrel: orthonormal DST-II of a vector of dyadic length.
#include "trig/sine.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        {"wavetide:Pimbrel:inputCount", "Pimbrel requires one input argument."},
        {"wavetide:Pimbrel:outputCount", "Pimbrel requires one output argument."},
        {"wavetide:Pimbrel:argumentClass", "Pimbrel requires real full double arguments"},
        {"wavetide:Pimbrel:dyadicLength", "Pimbrel requires dyadic length"},
        {"wavetide:Pimbrel:tooLarge", "Pimbrel input is too large"},
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, sine_transform_type2);
}
