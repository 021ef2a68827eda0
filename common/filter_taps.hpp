// Filter sums of the two-channel kernels, W outputs at a time: output l of
// the lane set reads the signal two values further on than output l - 1.
// Each output adds its taps in the order j = 0, 1, ..., L-1 into its own
// accumulator, the order of the one-output-at-a-time loop.
#pragma once

#include "simd/simd.hpp"

// sum_{j<L} f[j] xa[2l + j] for lanes l: taps j and j+1 are the even and
// odd lanes of the 2W values from xa[j].
template <class V> SIMD_INLINE V rising_taps(const double* xa, const double* f, int L)
{
    V s = V{};
    int j = 0;
    for (; j + 1 < L; j += 2) {
        V even, odd;
        simd::load_deinterleaved(xa + j, even, odd);
        s = s + f[j] * even;
        s = s + f[j + 1] * odd;
    }
    if (j < L) s = s + f[j] * simd::load_even<V>(xa + j);
    return s;
}

// sum_{j<L} f[j] xa[2l - j] for lanes l: taps j and j+1 are the odd and
// even lanes of the 2W values from xa[-j - 1].
template <class V> SIMD_INLINE V falling_taps(const double* xa, const double* f, int L)
{
    V s = V{};
    int j = 0;
    for (; j + 1 < L; j += 2) {
        V even, odd;
        simd::load_deinterleaved(xa - j - 1, even, odd);
        s = s + f[j] * odd;
        s = s + f[j + 1] * even;
    }
    if (j < L) s = s + f[j] * simd::load_odd<V>(xa - j - 1);
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
