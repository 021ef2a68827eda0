// Yarlow: orthonormal DST-III of a vector of dyadic length.
#include "trig/sine.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        {"wavetide:Yarlow:inputCount", "Yarlow requires one input argument."},
        {"wavetide:Yarlow:outputCount", "Yarlow requires one output argument."},
        {"wavetide:Yarlow:argumentClass", "Yarlow requires real full double arguments"},
        {"wavetide:Yarlow:dyadicLength", "Yarlow requires dyadic length"},
        {"wavetide:Yarlow:tooLarge", "Yarlow input is too large"},
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, sine_transform_type3);
}
