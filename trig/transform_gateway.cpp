#include "transform_gateway.hpp"

#include "host/arrays.hpp"
#include "host/gateway.hpp"

void trig_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const TransformMessages& messages,
                  TransformStep step)
{
    if (nrhs != 1) fail(messages.input_count);
    if (nlhs != 1) fail(messages.output_count);
    require_real_doubles(prhs, 0, 1, messages.types);
    const int n = fit_int(vector_length(prhs[0]), 4, messages.too_large);
    const int J = dyadic_exponent(n);
    if (J < 0) fail(messages.length);

    plhs[0] = new_matrix_like(prhs[0]);
    if (mxGetN(prhs[0]) == 0) return; // M x 0: no values to transform, no room for results

    mxArray* scratch = new_matrix(4 * n, 1);
    double* x = mxGetPr(scratch);
    copy_doubles(data_of(prhs[0]), x, n);
    step(x, x + n, J, x + 2 * n);
    copy_doubles(x, mxGetPr(plhs[0]), n);
    mxDestroyArray(scratch);
}
