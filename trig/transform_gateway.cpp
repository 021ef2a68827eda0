#include "transform_gateway.hpp"

#include "host/gateway.hpp"

void trig_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const TransformMessages& messages,
                  TransformStep step)
{
    if (nrhs != 1) fail(messages.input_count);
    if (nlhs != 1) fail(messages.output_count);
    require_real_doubles(prhs, 0, 1, messages.types);
    const int n = fit_int(vector_length(prhs[0]), 3, messages.too_large);
    const int log2n = dyadic_exponent(n);
    if (log2n < 0) fail(messages.length);

    if (mxGetM(prhs[0]) == 1 || mxGetN(prhs[0]) == 1) {
        plhs[0] = new_unfilled_output_like(prhs[0]); // a vector's output is written whole
    } else {
        plhs[0] = new_matrix_like(prhs[0]); // a matrix's other columns stay zero
        if (mxGetN(prhs[0]) == 0) return;   // M x 0: no values to transform, no room for results
    }

    // The transform reads the input's first n values and writes the output's.
    double* y = mxGetPr(plhs[0]);
    // Scratch left unfilled: the kernels write every value they read, once
    // the tag slot of the table buffer says that no tables are built yet.
    mxArray* scratch = new_unfilled_matrix(n + (n > 1 ? 3 * (n / 2) : 1), 1);
    double* partner = mxGetPr(scratch);
    double* tables = partner + n;
    tables[0] = 0.0;
    step(data_of(prhs[0]), log2n, y, partner, tables);
    mxDestroyArray(scratch);
}
