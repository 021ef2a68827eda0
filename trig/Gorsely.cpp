// Gorsely: orthonormal DCT-III of a vector of dyadic length.
#include "trig/hartley.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        {"wavetide:Gorsely:inputCount", "Gorsely requires one input argument."},
        {"wavetide:Gorsely:outputCount", "Gorsely requires one output argument."},
        {"wavetide:Gorsely:argumentClass", "Gorsely requires real full double arguments"},
        {"wavetide:Gorsely:dyadicLength", "Gorsely requires dyadic length"},
        {"wavetide:Gorsely:tooLarge", "Gorsely input is too large"},
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, cosine_transform_type3);
}
