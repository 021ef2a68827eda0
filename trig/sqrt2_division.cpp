// x[i] <- x[i] / sqrt2, i < n, W at a time with the fused division and
// again with the divider where a lane was tiny (sqrt2_division.hpp).
#include "trig/sqrt2_division.hpp"

#include "trig/hartley.hpp"

namespace {

struct division_pass {
    template <class V> SIMD_INLINE static void run(double* x, long n)
    {
        using simd::lanes;
        long i = 0;
        for (; i + lanes<V> <= n; i += lanes<V>) {
            const V v = simd::load<V>(x + i);
            trig::Fused<V> fused;
            V q = fused.first(v);
            if (fused.tiny_seen()) q = trig::Divider().first(v);
            simd::store(x + i, q);
        }
        for (; i < n; ++i) x[i] = x[i] / trig::kSqrt2;
    }
};

} // namespace

void divide_by_sqrt2(double* x, long n) { simd::dispatch<division_pass>(x, n); }
