#include "transform.hpp"

#include <algorithm>

#include "biorthogonal/centred.hpp"
#include "host/arrays.hpp"

void biorthogonal_analysis(const double* x, int n, int ncols, int L, int J, const double* highpass,
                           const double* g, int Lg, int Lgd, double* out, double* scratch)
{
    L = std::max(L, 0);
    for (int c = 0; c < ncols; ++c) {
        double* P = out + static_cast<long long>(c) * n;
        copy_doubles(x + static_cast<long long>(c) * n, P, n);
        int e = n;
        for (int j = J - 1; j >= L; --j) {
            copy_doubles(P, scratch, e);
            downsample_lowpass_centred(scratch, e, g, Lg, P);
            downsample_highpass_centred(scratch, e, highpass, Lgd, P + e / 2);
            e /= 2;
        }
    }
}

void biorthogonal_synthesis(const double* w, int n, int ncols, int L, int J, const double* highpass,
                            const double* gd, int Lg, int Lgd, double* out, double* s0, double* s1)
{
    L = std::min(std::max(L, 0), J);
    int d = 1;
    for (int j = 0; j < L; ++j) d *= 2;
    for (int c = 0; c < ncols; ++c) {
        const double* W = w + static_cast<long long>(c) * n;
        double* X = out + static_cast<long long>(c) * n;
        copy_doubles(W, X, d);
        int f = d;
        for (int j = L; j < J; ++j) {
            upsample_lowpass_centred(X, f, gd, Lgd, s0);
            upsample_highpass_centred(W + f, f, highpass, Lg, s1);
            f *= 2;
            sum_doubles(s0, s1, f, X);
        }
    }
}
