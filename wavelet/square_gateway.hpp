// The shared gateway of Plattigan and Unplattigan: each hands its own
// messages and its kernel (square_analysis or square_synthesis) to it.
#pragma once

#include "host/gateway.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

struct SquareMessages {
    Failure input_count;  // "<Name> requires 3 input arguments."
    Failure output_count; // "<Name> requires one output argument."
    Failure types;        // "<Name> requires real full double arguments"
    Failure not_square;   // "<Name> requires a square array"
    Failure too_large;    // "<Name> input is too large"
    Failure length;       // "<Name> requires dyadic length sides"
    Failure level_number; // "<Name> requires L to be a number, not empty or NaN"
    Failure memory;       // "<Name> is out of memory"
};

// square_analysis and square_synthesis: the n x n array in, the other out,
// from level J-1 down to L (or back), lowpass and highpass of m taps.
using SquareTransform = void (*)(const double*, double*, int, int, int, const double*, const double*, int, double*,
                                 int);

// Y = Name(X, L, h): X square with a side n = 2^J, Y the n x n array the
// transform writes, the highpass mirrored from h.
inline void square_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const SquareMessages& messages,
                           SquareTransform transform)
{
    if (nrhs != 3) fail(messages.input_count);
    if (nlhs != 1) fail(messages.output_count);
    require_real_doubles(prhs, 0, 3, messages.types);
    if (mxGetM(prhs[0]) != mxGetN(prhs[0])) fail(messages.not_square);
    const long long side = static_cast<long long>(mxGetM(prhs[0]));
    const int n = fit_int(side, side, messages.too_large);
    const int J = dyadic_exponent(n);
    if (J < 0) fail(messages.length);
    const int L = read_rounded(prhs[1], messages.level_number);
    const int m = fit_int(element_count(prhs[2]), 2, messages.too_large);

    const int threads = call_threads(side < kSquareThreadsFrom ? 0 : static_cast<double>(n) * n * m);
    // Both transforms write every value of the output, and of the scratch before reading it.
    plhs[0] = new_unfilled_output(n, n);
    mxArray* scratch = new_unfilled_matrix(n, kSquareScratch * threads);
    mxArray* g = new_matrix(m, 1);
    mirror_filter(data_of(prhs[2]), mxGetPr(g), m);
    run_threaded(
        [&] {
            transform(data_of(prhs[0]), mxGetPr(plhs[0]), n, J, L, data_of(prhs[2]), mxGetPr(g), m, mxGetPr(scratch),
                      threads);
        },
        messages.memory);
    mxDestroyArray(scratch);
    mxDestroyArray(g);
}
