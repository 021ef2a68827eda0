// Filter sums of the two-channel kernels, W outputs at a time: output l of
// the lane set reads the signal two values further on than output l - 1.
// Each output adds its taps in the order j = 0, 1, ..., taps-1 into its own
// accumulator, the order of the one-output-at-a-time loop.
#pragma once

#include "simd/simd.hpp"

// sum_{j<taps} filter[j] x[2l + j] for lanes l: taps j and j+1 are the even
// and odd lanes of the 2W values from x[j].
template <class V> SIMD_INLINE V rising_taps(const double* x, const double* filter, int taps)
{
    V s = V{};
    int j = 0;
    for (; j + 1 < taps; j += 2) {
        V even, odd;
        simd::load_deinterleaved(x + j, even, odd);
        s = s + filter[j] * even;
        s = s + filter[j + 1] * odd;
    }
    if (j < taps) s = s + filter[j] * simd::load_even<V>(x + j);
    return s;
}

// sum_{j<taps} filter[j] x[2l - j] for lanes l: taps j and j+1 are the odd
// and even lanes of the 2W values from x[-j - 1].
template <class V> SIMD_INLINE V falling_taps(const double* x, const double* filter, int taps)
{
    V s = V{};
    int j = 0;
    for (; j + 1 < taps; j += 2) {
        V even, odd;
        simd::load_deinterleaved(x - j - 1, even, odd);
        s = s + filter[j] * odd;
        s = s + filter[j + 1] * even;
    }
    if (j < taps) s = s + filter[j] * simd::load_odd<V>(x - j - 1);
    return s;
}

// A synthesis output pair from its two channels: the lowpass sums plus the
// highpass sums, in that order, or the highpass sums alone when there is no
// lowpass channel (not 0 + x, which would turn -0 into +0).
template <bool with_lowpass, class V> SIMD_INLINE void join_channels(V& even, V& odd, V heven, V hodd)
{
    if (with_lowpass) {
        even = even + heven;
        odd = odd + hodd;
    } else {
        even = heven;
        odd = hodd;
    }
}
