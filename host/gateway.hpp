// Conventions every gateway shares: argument checks, the rows-or-columns
// rule, the dyadic and triadic length tests and the readings of a scalar.
//
// Messages stay literal in the gateway that says them; these helpers take
// the failure as an argument and report it through the host.
#pragma once

#include "mex.h"

// A failure a gateway can report: the identifier "wavetide:<Name>:<reason>"
// (what try/catch code matches) and the fixed message shown to the user.
struct Failure {
    const char* id;
    const char* text;
};

// Reports the failure through the host's error routine; does not return.
void fail(const Failure& f);

// Sizes. The host counts in 64 bits; the kernels index with int. Every size
// is read and multiplied in 64 bits, and a size whose buffers the kernels
// could not index is refused before any matrix is created, never truncated:
// fit_int(count, factor, failure) is count as an int when count * factor
// elements fit the int range, and refuses with failure otherwise.
int fit_int(long long count, long long factor, const Failure& failure);

// How an input array holds its signals: one row of N values (M = 1), or
// N columns of M values each, contiguous in memory.
//
//      M = 1:  [ x0 x1 ... x(N-1) ]        -> count = 1, length = N
//      M > 1:  column c at data + c*M      -> count = N, length = M
//
// A length or count beyond the int range is refused with too_large.
struct Signals {
    int length;
    int count;
};

Signals signals_of(const mxArray* a, const Failure& too_large);

// Length of a single vector argument: N when M = 1, otherwise M.
long long vector_length(const mxArray* a);

// J with n = 2^J (found by doubling from 1), or -1 when n is not dyadic.
// n = 1 gives 0; n = 0 is not dyadic.
int dyadic_exponent(long long n);

// J with n = 3^J (found by tripling from 1), or -1 when n is not triadic.
int triadic_exponent(long long n);

// Refuses (with the given failure) any of prhs[first .. first+count-1] that
// is not a real, full double array; mxGetPr of anything else is not n doubles.
void require_real_doubles(const mxArray* const prhs[], int first, int count, const Failure& failure);

// The three readings of an integer scalar, taken from the first element.
// An empty argument or a NaN is refused with the given failure; +-Inf and
// values beyond the int range saturate to the nearest int.
int read_rounded(const mxArray* a, const Failure& failure);             // floor(v + 0.5)
int read_rounded_by_truncation(const mxArray* a, const Failure& failure); // trunc(v + 0.5)
int read_truncated(const mxArray* a, const Failure& failure);           // trunc(v)

// First element of a scalar argument as a double; empty refused with failure.
double read_first(const mxArray* a, const Failure& failure);

// Number of doubles an argument holds (M * N): the length of a filter.
long long element_count(const mxArray* a);

// Data of a real double argument, for reading. MATLAB's interleaved-complex
// API (mex -R2018a) reads it with mxGetDoubles and offers no mxGetPr of a
// complex array; Octave's header and MATLAB's separate-complex API have
// mxGetPr only.
inline const double* data_of(const mxArray* a)
{
#if defined(MX_HAS_INTERLEAVED_COMPLEX) && MX_HAS_INTERLEAVED_COMPLEX
    return mxGetDoubles(a);
#else
    return mxGetPr(a);
#endif
}

// A new zero-filled M x N real matrix.
mxArray* new_matrix(int rows, int cols);

// A new M x N real matrix left unfilled by the host, for a kernel that
// writes every one of its values (zero-filling a large output costs a pass).
mxArray* new_unfilled_matrix(int rows, int cols);

// A new zero-filled array of the dimensions of a (N-D too).
mxArray* new_matrix_like(const mxArray* a);

// A plug-in's output: a new M x N real matrix, or an array of the
// dimensions of a, for a kernel that writes every one of its values (what
// the host leaves in it is unspecified). Under Octave, an output of 2^20
// doubles or more is made by Octave's own builtin zeros: Octave hands such
// an array back to the caller as it is, while it copies every output that
// mxCreate* made into an array of its own, and zero-filling costs less than
// that copy from about that size on. Scratch takes new_unfilled_matrix.
mxArray* new_unfilled_output(int rows, int cols);
mxArray* new_unfilled_output_like(const mxArray* a);

// Threads a call of the given work units (common/threads.hpp) may use: 1 when
// the work is too small for a second thread to pay, otherwise the host's
// count of computational threads, asked once per call: MATLAB's
// maxNumCompThreads (1 inside a parfor worker), Octave's
// nproc ("overridable"), which honours OMP_NUM_THREADS. 1 whenever the
// question fails or the answer is not a count.
int call_threads(double work);

// The host's count of computational threads, as call_threads asks it, for
// a call whose gateway has decided by its own measure that threads pay.
int host_threads();

// Runs a driver that may split its work over threads (common/threads.hpp) and
// reports an exception it rethrows from a worker with the given failure.
// Nothing inside the driver calls the host, so nothing else throws there.
template <class F> void run_threaded(const F& driver, const Failure& failure)
{
    bool failed = false;
    try {
        driver();
    } catch (...) {
        failed = true;
    }
    if (failed) fail(failure);
}

// Length of a vector read in storage order: N, or M when N = 1 (a single
// column). A matrix of several columns counts as its first N stored values;
// an array with no elements (0 x N, M x 0) has length 0.
long long row_or_column_length(const mxArray* a);
