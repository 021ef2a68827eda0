#include "sine.hpp"

#include "hartley.hpp"

namespace {

void negate_odd_entries(double* x, int n)
{
    for (int i = 1; i < n; i += 2) x[i] = -x[i];
}

void reverse(double* x, int n)
{
    for (int i = 0; i < n / 2; ++i) {
        const double s = x[i];
        x[i] = x[n - 1 - i];
        x[n - 1 - i] = s;
    }
}

} // namespace

void sine_transform_type2(double* x, double* p, int m, double* q)
{
    const int n = 1 << m;
    negate_odd_entries(x, n);
    cosine_transform_type2(x, p, m, q);
    reverse(x, n);
}

void sine_transform_type3(double* x, double* p, int m, double* q)
{
    const int n = 1 << m;
    reverse(x, n);
    cosine_transform_type3(x, p, m, q);
    negate_odd_entries(x, n);
}
