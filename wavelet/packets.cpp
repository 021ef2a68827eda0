#include "packets.hpp"

#include "common/arrays.hpp"
#include "common/threads.hpp"
#include "periodic.hpp"

void packet_synthesis(const double* table, int n, int depth, const double* lowpass, const double* highpass, int taps,
                      double* x, double* scratch, int threads)
{
    copy_doubles(table + static_cast<long long>(depth) * n, x, n);
    int nb = 1, len = n;
    for (int d = 1; d < depth; ++d) {
        nb *= 2;
        len /= 2;
    }
    for (int d = depth - 1; d >= 0; --d) {
        const double* level = table + static_cast<long long>(d) * n;
        const int half = len / 2;
        threads::for_parts(nb, threads::worth(static_cast<double>(n) * taps, threads), [&](int p, int b0, int b1) {
            double* s0 = scratch + (p == 0 ? 0 : 3LL * n + 3LL * (n / 2) * (p - 1));
            double* s1 = s0 + len;
            double* s2 = s1 + len;
            for (int b = b0; b < b1; ++b) {
                const int flip = b % 2;
                double* children = x + static_cast<long long>(b) * len;
                copy_doubles(level + static_cast<long long>(b) * len, s0, len);
                upsample_lowpass_periodic(children + flip * half, half, lowpass, taps, s1);
                upsample_highpass_periodic(children + (1 - flip) * half, half, highpass, taps, s2);
                add_doubles(s1, s0, len);
                add_doubles(s2, s0, len);
                copy_doubles(s0, children, len);
            }
        });
        len *= 2;
        nb /= 2;
    }
}
