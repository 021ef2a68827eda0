#include "staged_merge.hpp"

#include <cstdlib>

#include "common/arrays.hpp"

int power_of_three(int k)
{
    int p = 1;
    for (int i = 0; i < k; ++i) p *= 3;
    return p;
}

void block_middles(const double* sorted, int n, int d, double* medians)
{
    for (int b = 0; b < n / d; ++b) medians[b] = sorted[static_cast<long long>(b) * d + (d - 1) / 2];
}

double take_smallest_head(const double* A, const double* B, const double* C, int m, int& ia, int& ib, int& ic)
{
    const bool a_live = ia < m, b_live = ib < m;
    double candidate;
    int* from;
    if (a_live && !b_live) {
        candidate = A[ia];
        from = &ia;
    } else if (!a_live && b_live) {
        candidate = B[ib];
        from = &ib;
    } else if (a_live && b_live) {
        if (B[ib] > A[ia]) {
            candidate = A[ia];
            from = &ia;
        } else {
            candidate = B[ib];
            from = &ib;
        }
    } else {
        return C[ic++];
    }
    if (ic == m || C[ic] > candidate) {
        ++*from;
        return candidate;
    }
    return C[ic++];
}

void merge_three_runs(const double* A, const double* B, const double* C, int m, double* out)
{
    int ia = 0, ib = 0, ic = 0;
    for (int k = 0; k < 3 * m; ++k) out[k] = take_smallest_head(A, B, C, m, ia, ib, ic);
}

bool merge_sort_stage(double* x, int log3n, int j)
{
    const int m = power_of_three(log3n - j), groups = power_of_three(j) / 3;
    const size_t bytes = static_cast<size_t>(m) * sizeof(double);
    double* A = static_cast<double*>(std::malloc(bytes));
    double* B = static_cast<double*>(std::malloc(bytes));
    double* C = static_cast<double*>(std::malloc(bytes));
    const bool ok = A && B && C;
    if (ok) {
        for (int g = 0; g < groups; ++g) {
            double* group = x + 3 * g * m;
            copy_doubles(group, A, m);
            copy_doubles(group + m, B, m);
            copy_doubles(group + 2 * m, C, m);
            merge_three_runs(A, B, C, m, group);
        }
    }
    std::free(A);
    std::free(B);
    std::free(C);
    return ok;
}
