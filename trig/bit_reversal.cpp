#include "trig/bit_reversal.hpp"

#include "simd/simd.hpp"
#include "simd/transpose.hpp"

namespace trig {
namespace {

using simd::load;
using simd::store;

// With i = 8(n/64) a + 8 mid + b (a, b < 8):
// rev(i) = (n/8) rev3(b) + 8 rev(mid) + rev3(a), so the copy goes by 8 x 8
// tiles whose eight source and eight destination runs are each 8
// contiguous doubles. Eight lanes move a tile as one transpose.
struct bit_reversed_tiles {
    template <class V> SIMD_INLINE static void run(const double* p, long n, bool reflect, double* y)
    {
        static const int rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
        const long row = n / 8;
        long r = 0;
        for (long mid = 0; mid < n / 64; ++mid) {
            if constexpr (simd::lanes<V> == 8) {
                V t[8];
                for (int b = 0; b < 8; ++b) t[b] = load<V>(p + rev3[b] * row + 8 * r);
                simd::transpose(t);
                for (int a = 0; a < 8; ++a) {
                    const long k = a * row + 8 * mid;
                    if (reflect)
                        store(y + n - 8 - k, simd::reverse(t[rev3[a]]));
                    else
                        store(y + k, t[rev3[a]]);
                }
            } else {
                for (int a = 0; a < 8; ++a)
                    for (int b = 0; b < 8; ++b) {
                        const long k = a * row + 8 * mid + b;
                        y[reflect ? n - 1 - k : k] = p[rev3[b] * row + 8 * r + rev3[a]];
                    }
            }
            r = next_reversed(r, n / 128);
        }
    }
};

} // namespace

void bit_reverse(double* x, long n)
{
    long j = 1;
    for (long i = 1; i < n; ++i) {
        if (i < j) {
            const double s = x[i - 1];
            x[i - 1] = x[j - 1];
            x[j - 1] = s;
        }
        long k = n / 2;
        while (k < j) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }
}

void bit_reversed_copy(const double* x, long n, bool reflect, double* y)
{
    simd::dispatch<bit_reversed_tiles>(x, n, reflect, y);
}

} // namespace trig
