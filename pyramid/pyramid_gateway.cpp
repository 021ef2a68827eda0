#include "pyramid_gateway.hpp"

namespace {

// The checks the forward and inverse gateways share, in their order: counts,
// classes, L, then the length the caller derives; returns L.
int read_level(int nlhs, int nrhs, const mxArray* prhs[], const PyramidMessages& messages)
{
    if (nrhs != 3) fail(messages.input_count);
    if (nlhs != 1) fail(messages.output_count);
    require_real_doubles(prhs, 0, 3, messages.types);
    const int L = read_truncated(prhs[1], messages.level_number);
    if (1 > data_of(prhs[1])[0]) fail(messages.level_min);
    return L;
}

} // namespace

void pyramid_forward_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                             const PyramidMessages& messages, PyramidForward forward, int threads_from)
{
    const int L = read_level(nlhs, nrhs, prhs, messages);
    const int n = fit_int(row_or_column_length(prhs[0]), 2, messages.too_large);
    const int J = triadic_exponent(n);
    if (J < 0) fail(messages.length);
    const int D = read_truncated(prhs[2], messages.degree_number);

    const int threads = n >= threads_from ? host_threads() : 1;
    plhs[0] = new_unfilled_output(1, 2 * n);
    bool done = false;
    run_threaded([&] { done = forward(data_of(prhs[0]), n, J, L, D, mxGetPr(plhs[0]), threads); }, messages.memory);
    if (!done) fail(messages.memory);
}

void pyramid_inverse_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                             const PyramidMessages& messages, refine_step refine, int threads_from)
{
    const int L = read_level(nlhs, nrhs, prhs, messages);
    const int n = fit_int(row_or_column_length(prhs[0]), 1, messages.too_large) / 2;
    const int J = triadic_exponent(n);
    if (J < 0) fail(messages.length);
    const int D = read_truncated(prhs[2], messages.degree_number);

    const int threads = n >= threads_from ? host_threads() : 1;
    plhs[0] = new_unfilled_output(1, n);
    bool done = false;
    run_threaded([&] { done = pyramid_inverse(data_of(prhs[0]), n, J, L, D, refine, mxGetPr(plhs[0]), threads); },
                 messages.memory);
    if (!done) fail(messages.memory);
}

void pyramid_refine_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                            const RefineMessages& messages, refine_step refine)
{
    if (nrhs != 2) fail(messages.input_count);
    if (nlhs != 1) fail(messages.output_count);
    require_real_doubles(prhs, 0, 2, messages.types);
    const int D = read_truncated(prhs[1], messages.degree_number);
    const int n = fit_int(row_or_column_length(prhs[0]), 3, messages.too_large);
    if (D == 2 && n < 3) fail(messages.too_few);

    plhs[0] = new_matrix(1, 3 * n);
    refine(data_of(prhs[0]), n, D, mxGetPr(plhs[0]));
}
