// Gorsely: orthonormal DCT-III of a vector of dyadic length.
#include "trig/hartley.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        "Gorsely requires one input argument.",
        "Gorsely requires one output argument.",
        "Gorsely requires real full double arguments",
        "Gorsely requires dyadic length",
        "Gorsely input is too large",
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, cosine_transform_type3);
}
