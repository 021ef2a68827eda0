#include "square.hpp"

#include <algorithm>

#include "host/arrays.hpp"
#include "periodic.hpp"

namespace {

// Column c of an n x n array.
const double* column(const double* a, int n, int c) { return a + static_cast<long long>(c) * n; }
double* column(double* a, int n, int c) { return a + static_cast<long long>(c) * n; }

} // namespace

void get_row(const double* matrix, int count, int stride, int row, double* buffer)
{
    for (int k = 0; k < count; ++k) buffer[k] = matrix[row + static_cast<long long>(stride) * k];
}

void set_row(const double* buffer, int count, int stride, int row, double* matrix)
{
    for (int k = 0; k < count; ++k) matrix[row + static_cast<long long>(stride) * k] = buffer[k];
}

void square_analysis(const double* X, double* W, int n, int J, int L, const double* h, const double* g, int m,
                     double* s0, double* s1, double* s2)
{
    L = std::max(L, 0);
    for (int c = 0; c < n; ++c) copy_doubles(column(X, n, c), column(W, n, c), n);
    int nc = n;
    for (int j = J - 1; j >= L; --j) {
        const int half = nc / 2;
        for (int c = 0; c < nc; ++c) {
            double* col = column(W, n, c);
            copy_doubles(col, s0, nc);
            analysis_step(s0, nc, h, g, m, col, col + half);
        }
        for (int r = 0; r < nc; ++r) {
            get_row(W, nc, n, r, s0);
            analysis_step(s0, nc, h, g, m, s1, s2);
            set_row(s1, half, n, r, W);
            set_row(s2, half, n, r, column(W, n, half));
        }
        nc = half;
    }
}

void square_synthesis(const double* W, double* X, int n, int J, int L, const double* h, const double* g, int m,
                      double* s0, double* s1, double* s2)
{
    L = std::min(std::max(L, 0), J);
    for (int c = 0; c < n; ++c) copy_doubles(column(W, n, c), column(X, n, c), n);
    int nc = 1;
    for (int j = 0; j < L; ++j) nc *= 2;
    for (int j = L; j < J; ++j) {
        const int full = 2 * nc;
        for (int r = 0; r < full; ++r) {
            get_row(X, nc, n, r, s1);
            get_row(column(X, n, nc), nc, n, r, s2);
            synthesis_step(s1, s2, nc, h, g, m, s0);
            set_row(s0, full, n, r, X);
        }
        for (int c = 0; c < full; ++c) {
            double* col = column(X, n, c);
            copy_doubles(col, s1, nc);
            copy_doubles(col + nc, s2, nc);
            synthesis_step(s1, s2, nc, h, g, m, col);
        }
        nc = full;
    }
}
