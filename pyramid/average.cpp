#include "average.hpp"

#include "simd/simd.hpp"
#include "refine.hpp"

namespace {

// The interior rules on one block (T = double) or on W blocks at once.
struct average_interior {
    template <class T> SIMD_INLINE static void thirds(T a, T b, T c, T& p, T& q, T& r)
    {
        p = (5.0 * a + 26.0 * b - 4.0 * c) / 27.0;
        q = (-a + 29.0 * b - c) / 27.0;
        r = (-4.0 * a + 26.0 * b + 5.0 * c) / 27.0;
    }
};

struct lagrange_interior {
    template <class T> SIMD_INLINE static void thirds(T a, T b, T c, T& p, T& q, T& r)
    {
        p = (2.0 * a + 8.0 * b - c) / 9.0;
        q = b;
        r = (-a + 8.0 * b + 2.0 * c) / 9.0;
    }
};

// Rule's interior thirds of the blocks 1 .. m-2 of a refinement, W blocks at
// a time (lanes never mix, so each triple is the scalar rule's).
template <class Rule> struct interior_blocks {
    template <class V> SIMD_INLINE static void run(const double* v, int m, double* w)
    {
        constexpr int W = simd::lanes<V>;
        int i = 1;
        for (; i + W <= m - 1; i += W) {
            V p, q, r;
            Rule::thirds(simd::load<V>(v + i - 1), simd::load<V>(v + i), simd::load<V>(v + i + 1), p, q, r);
            simd::store_interleaved(w + 3 * i, p, q, r);
        }
        for (; i <= m - 2; ++i) Rule::thirds(v[i - 1], v[i], v[i + 1], w[3 * i], w[3 * i + 1], w[3 * i + 2]);
    }
};

void average_interiors(const double* v, int m, double* w)
{
    simd::dispatch<interior_blocks<average_interior>>(v, m, w);
}

void lagrange_interiors(const double* v, int m, double* w)
{
    simd::dispatch<interior_blocks<lagrange_interior>>(v, m, w);
}

} // namespace

void average_predict_interior(double a, double b, double c, double* p, double* q, double* r)
{
    average_interior::thirds(a, b, c, *p, *q, *r);
}

void average_predict_edge(double a, double b, double c, double* p, double* q, double* r)
{
    *p = (41 * a - 19 * b + 5 * c) / 27;
    *q = (26 * a + 2 * b - c) / 27;
    *r = (14 * a + 17 * b - 4 * c) / 27;
}

void lagrange_predict_interior(double a, double b, double c, double* p, double* q, double* r)
{
    lagrange_interior::thirds(a, b, c, *p, *q, *r);
}

void lagrange_predict_edge(double a, double b, double c, double* p, double* q, double* r)
{
    *p = (14 * a - 7 * b + 2 * c) / 9;
    *q = a;
    *r = (5 * a + 5 * b - c) / 9;
}

void average_refine(const double* v, int m, int degree, double* w)
{
    refine_by_rules<average_predict_edge, average_predict_interior, average_interiors>(v, m, degree, w);
}

void lagrange_refine(const double* v, int m, int degree, double* w)
{
    refine_by_rules<lagrange_predict_edge, lagrange_predict_interior, lagrange_interiors>(v, m, degree, w);
}
