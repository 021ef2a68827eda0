#include "dyadic.hpp"

#include <algorithm>

#include "host/arrays.hpp"
#include "periodic.hpp"

void periodic_analysis(const double* x, double* w, int n, int count, int J, int L, const double* h,
                       const double* g, int m, double* scratch)
{
    L = std::max(L, 0);
    for (int s = 0; s < count; ++s) {
        double* y = w + static_cast<long long>(s) * n;
        copy_doubles(x + static_cast<long long>(s) * n, y, n);
        int nc = n;
        for (int j = J - 1; j >= L; --j) {
            copy_doubles(y, scratch, nc);
            downsample_lowpass_periodic(scratch, nc, h, m, y);
            downsample_highpass_periodic(scratch, nc, g, m, y + nc / 2);
            nc /= 2;
        }
    }
}

void periodic_synthesis(const double* w, double* out, int n, int count, int J, int L, const double* h,
                        const double* g, int m, double* s1, double* s2)
{
    L = std::min(std::max(L, 0), J);
    int c0 = 1;
    for (int j = 0; j < L; ++j) c0 *= 2;
    for (int s = 0; s < count; ++s) {
        const double* ws = w + static_cast<long long>(s) * n;
        double* x = out + static_cast<long long>(s) * n;
        copy_doubles(ws, x, c0);
        int nc = c0;
        for (int j = L; j < J; ++j) {
            upsample_lowpass_periodic(x, nc, h, m, s1);
            upsample_highpass_periodic(ws + nc, nc, g, m, s2);
            nc *= 2;
            sum_doubles(s1, s2, nc, x);
        }
    }
}
