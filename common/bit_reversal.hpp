// The counter of the bit-reversal permutation, shared by the transforms
// that read or write in bit-reversed order.
#pragma once

// rev(i + 1) from r = rev(i), both the log2(n)-bit mirror images of i and
// i + 1, h = n/2 (0 when n = 1). I: long or std::ptrdiff_t.
template <class I> inline I next_reversed(I r, I h)
{
    while (r & h) {
        r ^= h;
        h /= 2;
    }
    return r | h;
}
