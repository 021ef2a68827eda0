#include "gateway.hpp"

#include <climits>
#include <cmath>

Signals signals_of(const mxArray* a)
{
    const int M = static_cast<int>(mxGetM(a));
    const int N = static_cast<int>(mxGetN(a));
    if (M == 1) return Signals{N, 1};
    return Signals{M, N};
}

int vector_length(const mxArray* a)
{
    const int M = static_cast<int>(mxGetM(a));
    return M == 1 ? static_cast<int>(mxGetN(a)) : M;
}

namespace {

// J with n = base^J, found by multiplying a counter from 1; -1 otherwise.
int exponent_of(long long n, int base)
{
    int J = 0;
    long long k = 1;
    while (k < n) {
        ++J;
        k *= base;
    }
    return k == n ? J : -1;
}

} // namespace

int dyadic_exponent(long long n) { return exponent_of(n, 2); }

int triadic_exponent(long long n) { return exponent_of(n, 3); }

void require_real_doubles(const mxArray* const prhs[], int first, int count, const char* message)
{
    for (int i = first; i < first + count; ++i) {
        const mxArray* a = prhs[i];
        if (!mxIsDouble(a) || mxIsComplex(a) || mxIsSparse(a)) mexErrMsgTxt(message);
    }
}

int element_count(const mxArray* a)
{
    return static_cast<int>(mxGetM(a) * mxGetN(a));
}

double read_first(const mxArray* a, const char* message)
{
    if (mxGetM(a) * mxGetN(a) == 0) mexErrMsgTxt(message);
    return mxGetPr(a)[0];
}

namespace {

// Nearest int to an already integral double, saturating at the int range.
int saturate(double v)
{
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

double checked_first(const mxArray* a, const char* message)
{
    const double v = read_first(a, message);
    if (std::isnan(v)) mexErrMsgTxt(message);
    return v;
}

} // namespace

int read_rounded(const mxArray* a, const char* message)
{
    return saturate(std::floor(checked_first(a, message) + 0.5));
}

int read_rounded_by_truncation(const mxArray* a, const char* message)
{
    return saturate(std::trunc(checked_first(a, message) + 0.5));
}

int read_truncated(const mxArray* a, const char* message)
{
    return saturate(std::trunc(checked_first(a, message)));
}

mxArray* new_matrix(int rows, int cols)
{
    return mxCreateDoubleMatrix(rows, cols, mxREAL);
}

mxArray* new_matrix_like(const mxArray* a)
{
    return mxCreateDoubleMatrix(mxGetM(a), mxGetN(a), mxREAL);
}

int row_or_column_length(const mxArray* a)
{
    const int N = static_cast<int>(mxGetN(a));
    return N == 1 ? static_cast<int>(mxGetM(a)) : N;
}
