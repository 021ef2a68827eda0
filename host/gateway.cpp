#include "gateway.hpp"

#include <climits>
#include <cmath>

#include "common/threads.hpp"

void fail(const Failure& f)
{
    mexErrMsgIdAndTxt(f.id, "%s", f.text);
}

int fit_int(long long count, long long factor, const Failure& failure)
{
    if (factor < 1) factor = 1;
    if (count < 0 || count > INT_MAX / factor) fail(failure);
    return static_cast<int>(count);
}

namespace {

long long rows_of(const mxArray* a) { return static_cast<long long>(mxGetM(a)); }
long long cols_of(const mxArray* a) { return static_cast<long long>(mxGetN(a)); }

} // namespace

Signals signals_of(const mxArray* a, const Failure& too_large)
{
    const long long M = rows_of(a), N = cols_of(a);
    if (M == 1) return Signals{fit_int(N, 1, too_large), 1};
    return Signals{fit_int(M, 1, too_large), fit_int(N, 1, too_large)};
}

long long vector_length(const mxArray* a)
{
    const long long M = rows_of(a);
    return M == 1 ? cols_of(a) : M;
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

void require_real_doubles(const mxArray* const prhs[], int first, int count, const Failure& failure)
{
    for (int i = first; i < first + count; ++i) {
        const mxArray* a = prhs[i];
        if (!mxIsDouble(a) || mxIsComplex(a) || mxIsSparse(a)) fail(failure);
    }
}

long long element_count(const mxArray* a)
{
    return rows_of(a) * cols_of(a);
}

double read_first(const mxArray* a, const Failure& failure)
{
    if (element_count(a) == 0) fail(failure);
    return data_of(a)[0];
}

namespace {

// Nearest int to an already integral double, saturating at the int range.
int saturate(double v)
{
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

double checked_first(const mxArray* a, const Failure& failure)
{
    const double v = read_first(a, failure);
    if (std::isnan(v)) fail(failure);
    return v;
}

} // namespace

int read_rounded(const mxArray* a, const Failure& failure)
{
    return saturate(std::floor(checked_first(a, failure) + 0.5));
}

int read_rounded_by_truncation(const mxArray* a, const Failure& failure)
{
    return saturate(std::trunc(checked_first(a, failure) + 0.5));
}

int read_truncated(const mxArray* a, const Failure& failure)
{
    return saturate(std::trunc(checked_first(a, failure)));
}

mxArray* new_matrix(int rows, int cols)
{
    return mxCreateDoubleMatrix(rows, cols, mxREAL);
}

mxArray* new_unfilled_matrix(int rows, int cols)
{
    return mxCreateUninitNumericMatrix(rows, cols, mxDOUBLE_CLASS, mxREAL);
}

namespace {

// out, an M x N matrix of a's M and N, given a's dimensions: N is the
// product of the dimensions after the first, so the data fit.
mxArray* shaped_like(mxArray* out, const mxArray* a)
{
    mxSetDimensions(out, mxGetDimensions(a), mxGetNumberOfDimensions(a));
    return out;
}

} // namespace

mxArray* new_matrix_like(const mxArray* a)
{
    return shaped_like(mxCreateDoubleMatrix(mxGetM(a), mxGetN(a), mxREAL), a);
}

namespace {

// Outputs from this many doubles on are made by the host's zeros (Octave only).
[[maybe_unused]] constexpr double kHostMadeFrom = 1 << 20;

// zeros(dims) made by Octave itself, through builtin so that no function of
// the user's path runs; null when the result is not the real double array
// asked for, or below kHostMadeFrom.
mxArray* host_zeros([[maybe_unused]] const mwSize* dims, [[maybe_unused]] mwSize ndims)
{
#if defined(HAVE_OCTAVE)
    double count = 1;
    for (mwSize i = 0; i < ndims; ++i) count *= static_cast<double>(dims[i]);
    if (count < kHostMadeFrom) return nullptr;
    mxArray* size = mxCreateDoubleMatrix(1, ndims, mxREAL);
    for (mwSize i = 0; i < ndims; ++i) mxGetPr(size)[i] = static_cast<double>(dims[i]);
    mxArray* in[2] = {mxCreateString("zeros"), size};
    mxArray* out = nullptr;
    const int status = mexCallMATLAB(1, &out, 2, in, "builtin");
    mxDestroyArray(in[0]);
    mxDestroyArray(in[1]);
    bool fits = status == 0 && out && mxIsDouble(out) && !mxIsComplex(out) && !mxIsSparse(out) &&
                mxGetNumberOfDimensions(out) == ndims;
    for (mwSize i = 0; fits && i < ndims; ++i) fits = mxGetDimensions(out)[i] == dims[i];
    if (fits) return out;
    mxDestroyArray(out);
#endif
    return nullptr;
}

} // namespace

mxArray* new_unfilled_output(int rows, int cols)
{
    const mwSize dims[2] = {static_cast<mwSize>(rows), static_cast<mwSize>(cols)};
    mxArray* out = host_zeros(dims, 2);
    return out ? out : new_unfilled_matrix(rows, cols);
}

mxArray* new_unfilled_output_like(const mxArray* a)
{
    mxArray* out = host_zeros(mxGetDimensions(a), mxGetNumberOfDimensions(a));
    return out ? out : shaped_like(mxCreateUninitNumericMatrix(mxGetM(a), mxGetN(a), mxDOUBLE_CLASS, mxREAL), a);
}

long long row_or_column_length(const mxArray* a)
{
    if (element_count(a) == 0) return 0;
    const long long N = cols_of(a);
    return N == 1 ? rows_of(a) : N;
}

int call_threads(double work) { return threads::worth(work, 2) < 2 ? 1 : host_threads(); }

int host_threads()
{
#if defined(HAVE_OCTAVE)
    mxArray* in[2] = {mxCreateString("nproc"), mxCreateString("overridable")};
    const char* name = "builtin";
    const int nin = 2;
#else
    mxArray* in[2] = {nullptr, nullptr};
    const char* name = "maxNumCompThreads";
    const int nin = 0;
#endif
    mxArray* out = nullptr;
    const int status = mexCallMATLAB(1, &out, nin, in, name);
    for (mxArray* a : in)
        if (a) mxDestroyArray(a);
    int count = 1;
    if (status == 0 && out && mxIsDouble(out) && !mxIsComplex(out) && element_count(out) == 1) {
        const double v = data_of(out)[0];
        if (v >= 1 && v <= threads::kMost) count = static_cast<int>(v);
        else if (v > threads::kMost) count = threads::kMost;
    }
    if (out) mxDestroyArray(out);
    return count;
}
