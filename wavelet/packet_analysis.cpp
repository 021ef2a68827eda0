#include "common/arrays.hpp"
#include "common/threads.hpp"
#include "packets.hpp"
#include "periodic.hpp"

void packet_analysis(const double* x, int n, int depth, const double* lowpass, const double* highpass, int taps,
                     double* table, int threads)
{
    copy_doubles(x, table, n);
    int nb = 1, len = n;
    for (int d = 0; d < depth; ++d) {
        const double* parent = table + static_cast<long long>(d) * n;
        double* children = table + static_cast<long long>(d + 1) * n;
        const int half = len / 2;
        threads::for_parts(nb, threads::worth(static_cast<double>(n) * taps, threads), [&](int, int b0, int b1) {
            for (int b = b0; b < b1; ++b) {
                const long long at = static_cast<long long>(b) * len;
                const int flip = b % 2;
                analysis_step(parent + at, len, lowpass, highpass, taps, children + at + flip * half,
                              children + at + (1 - flip) * half);
            }
        });
        nb *= 2;
        len = half;
    }
}
