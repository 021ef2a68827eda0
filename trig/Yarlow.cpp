// Yarlow: orthonormal DST-III of a vector of dyadic length.
#include "trig/sine.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        "Yarlow requires one input argument.",
        "Yarlow requires one output argument.",
        "Yarlow requires real full double arguments",
        "Yarlow requires dyadic length",
        "Yarlow input is too large",
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, sine_transform_type3);
}
