// Fennick: orthonormal DCT-II of a vector of dyadic length.
#include "trig/hartley.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        {"wavetide:Fennick:inputCount", "Fennick requires one input argument."},
        {"wavetide:Fennick:outputCount", "Fennick requires one output argument."},
        {"wavetide:Fennick:argumentClass", "Fennick requires real full double arguments"},
        {"wavetide:Fennick:dyadicLength", "Fennick requires dyadic length"},
        {"wavetide:Fennick:tooLarge", "Fennick input is too large"},
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, cosine_transform_type2);
}
