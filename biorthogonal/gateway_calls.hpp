// What Morrowel and Unmorrowel run alike: a kernel of the dyadic layout with
// one filter argument as its centred lowpass and the centred mirror of the
// other as its highpass.
#pragma once

#include "biorthogonal/centred.hpp"
#include "host/gateway.hpp"
#include "wavelet/gateway_calls.hpp"

// The kernel: biorthogonal_analysis or biorthogonal_synthesis.
using BiorthogonalKernel = void (*)(const double*, int, int, int, int, const double*, int, const double*, int,
                                    double*, double*, int);

// plhs[0] (zero-filled, the shape of x) receives kernel(x, ...) with the
// lowpass prhs[lowpass_arg] and the highpass mirror_filter_centred of
// prhs[mirrored_arg], on up to the call's threads, each with
// scratch_length doubles.
inline void run_biorthogonal_call(mxArray* plhs[], const mxArray* prhs[], const DyadicCall& call, int lowpass_arg,
                                  int mirrored_arg, int scratch_length, const Failure& too_large,
                                  const Failure& out_of_memory, BiorthogonalKernel kernel)
{
    const Signals s = call.signals;
    const int lowpass_taps = taps_of(prhs[lowpass_arg], too_large);
    const int highpass_taps = taps_of(prhs[mirrored_arg], too_large);
    const int threads = call_threads(static_cast<double>(s.length) * s.count * (lowpass_taps + highpass_taps));
    plhs[0] = new_matrix_like(prhs[0]);
    mxArray* scratch = new_matrix(scratch_length, threads);
    mxArray* highpass = new_matrix(highpass_taps, 1);
    mirror_filter_centred(data_of(prhs[mirrored_arg]), highpass_taps, mxGetPr(highpass));
    run_threaded(
        [&] {
            kernel(data_of(prhs[0]), s.length, s.count, call.log2n, call.level, data_of(prhs[lowpass_arg]),
                   lowpass_taps, mxGetPr(highpass), highpass_taps, mxGetPr(plhs[0]), mxGetPr(scratch), threads);
        },
        out_of_memory);
    mxDestroyArray(scratch);
    mxDestroyArray(highpass);
}
