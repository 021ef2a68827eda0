// What the wavelet plug-ins read and run alike: the checks of a call on
// dyadic signals, on a square array or on a table, in the order their
// messages are tested, and the highpass mirror of the lowpass filter each
// call is given. Every plug-in keeps its own messages and passes them in.
#pragma once

#include <algorithm>

#include "host/gateway.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

// The messages of the checks below, in the order they are tested.
struct CallMessages {
    Failure input_count, output_count, argument_class, too_large, dyadic_length, not_a_number;
};

// A call (x, level, filters...) on one or more dyadic signals.
struct DyadicCall {
    Signals signals;
    int log2n, level;
};

// Counts (one output), real full doubles, signal length 2^log2n, the level
// as a rounded number.
inline DyadicCall read_dyadic_call(int nlhs, int nrhs, const mxArray* prhs[], int inputs, const CallMessages& m)
{
    if (nrhs != inputs) fail(m.input_count);
    if (nlhs != 1) fail(m.output_count);
    require_real_doubles(prhs, 0, inputs, m.argument_class);
    const Signals s = signals_of(prhs[0], m.too_large);
    const int log2n = dyadic_exponent(s.length);
    if (log2n < 0) fail(m.dyadic_length);
    return {s, log2n, read_rounded(prhs[1], m.not_a_number)};
}

// The taps of a filter argument, refused as too large where the kernels
// could not index them.
inline int taps_of(const mxArray* filter, const Failure& too_large)
{
    return fit_int(element_count(filter), 2, too_large);
}

// A new host column of the highpass mirror_filter of a lowpass filter argument.
inline mxArray* new_highpass(const mxArray* lowpass, int taps)
{
    mxArray* highpass = new_matrix(taps, 1);
    mirror_filter(data_of(lowpass), taps, mxGetPr(highpass));
    return highpass;
}

// The kernel of a call on dyadic signals: periodic_analysis or periodic_synthesis.
using PeriodicKernel = void (*)(const double*, int, int, int, int, const double*, const double*, int, double*,
                                double*, int);

// plhs[0] (already made) receives kernel(x = prhs[0], ...) with the lowpass
// prhs[2] and its mirror as the highpass, on `threads` threads sharing the
// scratch, which is destroyed afterwards.
inline void run_periodic_call(mxArray* plhs[], const mxArray* prhs[], const DyadicCall& call, int taps, int threads,
                              mxArray* scratch, PeriodicKernel kernel, const Failure& out_of_memory)
{
    mxArray* highpass = new_highpass(prhs[2], taps);
    run_threaded(
        [&] {
            kernel(data_of(prhs[0]), call.signals.length, call.signals.count, call.log2n, call.level,
                   data_of(prhs[2]), mxGetPr(highpass), taps, mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        out_of_memory);
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}

// The kernel of a square call: square_analysis or square_synthesis.
using SquareKernel = void (*)(const double*, int, int, int, const double*, const double*, int, double*, double*, int);

// A call (X, level, lowpass) on an n x n array, n = 2^log2n: counts, real
// full doubles, a square array (not_square) of dyadic side, the level; then
// the kernel into a new n x n output that it fills, with kSquareScratch * n
// doubles of scratch per thread.
inline void run_square_call(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const CallMessages& m,
                            const Failure& not_square, const Failure& out_of_memory, SquareKernel kernel)
{
    if (nrhs != 3) fail(m.input_count);
    if (nlhs != 1) fail(m.output_count);
    require_real_doubles(prhs, 0, 3, m.argument_class);
    if (mxGetM(prhs[0]) != mxGetN(prhs[0])) fail(not_square);
    const long long side = static_cast<long long>(mxGetM(prhs[0]));
    const int n = fit_int(side, side, m.too_large);
    const int log2n = dyadic_exponent(n);
    if (log2n < 0) fail(m.dyadic_length);
    const int level = read_rounded(prhs[1], m.not_a_number);
    const int taps = taps_of(prhs[2], m.too_large);

    const int threads = call_threads(side < kSquareThreadsFrom ? 0 : static_cast<double>(n) * n * taps);
    // The kernels write every value of the output, and of the scratch before reading it.
    plhs[0] = new_unfilled_output(n, n);
    mxArray* scratch = new_unfilled_matrix(n, kSquareScratch * threads);
    mxArray* highpass = new_highpass(prhs[2], taps);
    run_threaded(
        [&] {
            kernel(data_of(prhs[0]), n, log2n, level, data_of(prhs[2]), mxGetPr(highpass), taps, mxGetPr(plhs[0]),
                   mxGetPr(scratch), threads);
        },
        out_of_memory);
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}

// A table argument of n rows and depth + 1 columns.
struct TableCall {
    int n, depth, taps;
};

// The messages of read_table_call, in the order they are tested.
struct TableMessages {
    Failure input_count, output_count, argument_class, too_large, dyadic_length, depth_too_large, depth_too_small;
};

// The checks of a call (table, lowpass) whose kernel needs n * rows_factor
// doubles (the table's columns at least): counts, real full doubles, dyadic
// rows, the depth in 0 .. log2(n).
inline TableCall read_table_call(int nlhs, int nrhs, const mxArray* prhs[], long long rows_factor,
                                 const TableMessages& m)
{
    if (nrhs != 2) fail(m.input_count);
    if (nlhs != 1) fail(m.output_count);
    require_real_doubles(prhs, 0, 2, m.argument_class);
    const int n = fit_int(mxGetM(prhs[0]), std::max<long long>(mxGetN(prhs[0]), rows_factor), m.too_large);
    const int log2n = dyadic_exponent(n);
    if (log2n < 0) fail(m.dyadic_length);
    const long long depth = static_cast<long long>(mxGetN(prhs[0])) - 1;
    const int taps = taps_of(prhs[1], m.too_large);
    if (depth > log2n) fail(m.depth_too_large);
    if (depth < 0) fail(m.depth_too_small);
    return {n, static_cast<int>(depth), taps};
}
