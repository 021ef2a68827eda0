#include "transform_gateway.hpp"

#include "host/arrays.hpp"
#include "host/gateway.hpp"

void trig_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const TransformMessages& messages,
                  TransformStep step)
{
    if (nrhs != 1) mexErrMsgTxt(messages.input_count);
    if (nlhs != 1) mexErrMsgTxt(messages.output_count);
    require_real_doubles(prhs, 0, 1, messages.types);
    const int n = vector_length(prhs[0]);
    const int J = dyadic_exponent(n);
    if (J < 0) mexErrMsgTxt(messages.length);

    plhs[0] = new_matrix_like(prhs[0]);
    if (mxGetN(prhs[0]) == 0) return; // M x 0: no values to transform, no room for results

    // The transform runs in place on the output's first n values.
    double* y = mxGetPr(plhs[0]);
    copy_doubles(data_of(prhs[0]), y, n);
    const mwSize tables = n > 1 ? 3 * static_cast<mwSize>(n) / 2 : 1;
    mxArray* scratch = mxCreateDoubleMatrix(n + tables, 1, mxREAL);
    double* p = mxGetPr(scratch);
    step(y, p, J, p + n);
    mxDestroyArray(scratch);
}
