// Pimbrel: orthonormal DST-II of a vector of dyadic length.
#include "trig/sine.hpp"
#include "trig/transform_gateway.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const TransformMessages messages = {
        "Pimbrel requires one input argument.",
        "Pimbrel requires one output argument.",
        "Pimbrel requires real full double arguments",
        "Pimbrel requires dyadic length",
        "Pimbrel input is too large",
    };
    trig_gateway(nlhs, plhs, nrhs, prhs, messages, sine_transform_type2);
}
