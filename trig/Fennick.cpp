// Fennick: orthonormal DCT-II of a vector of dyadic length.
#include "trig/hartley.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        "Fennick requires one input argument.",
        "Fennick requires one output argument.",
        "Fennick requires real full double arguments",
        "Fennick requires dyadic length",
        "Fennick input is too large",
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, cosine_transform_type2);
}
