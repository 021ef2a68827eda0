// Periodic wavelet transform of square arrays in the nested quadrant layout.
//
// An n x n array (n = 2^log2n, column-major, element (r, c) at r + c*n). One
// step on the top-left nc x nc block filters every column of the block, then
// every row, and leaves four nc/2 x nc/2 quadrants:
//
//              columns 0 .. nc/2-1    columns nc/2 .. nc-1
//            +---------------------+---------------------+
//   rows     |  lo cols, lo rows   |  lo cols, hi rows   |
//   0..nc/2-1|  (next step here)   |                     |
//            +---------------------+---------------------+
//   rows     |  hi cols, lo rows   |  hi cols, hi rows   |
//   nc/2..nc-1                     |                     |
//            +---------------------+---------------------+
//
// Steps run from level log2n-1 down to `level` on the top-left quadrant each
// time, so the final 2^level x 2^level corner holds the coarse coefficients.
// Levels are clamped into 0 .. log2n, as in the one-dimensional drivers.
#pragma once

// buffer[k] = matrix[row + stride*k], k = 0 .. count-1 (one row of an array)
void get_row(const double* matrix, int count, int stride, int row, double* buffer);

// matrix[row + stride*k] = buffer[k], k = 0 .. count-1
void set_row(const double* buffer, int count, int stride, int row, double* matrix);

// Arrays of a smaller side stay on one thread: an array that fits a core's
// cache would move between the cores at every switch from columns to rows,
// which costs more than the second thread gains (bench_wavelet_bench's
// BM_Plattigan: 512^2 slower on two threads, 1024^2 faster). In a larger
// call every level whose work is worth it is shared, the smaller blocks
// too: the level before left them in both cores' caches.
constexpr int kSquareThreadsFrom = 1024;

// Scratch doubles per thread and per unit of the side: rows are filtered in
// groups of up to 32, copied into tiles first.
constexpr int kSquareScratch = 32;

// W receives the n x n array X (n = 2^log2n) split from level log2n-1 down
// to `level`, columns then rows at each level, with the lowpass and highpass
// filters (taps each), on up to `threads` threads (the columns and rows of a
// level shared among them; the doubles do not depend on the count). X and W
// are distinct. scratch: kSquareScratch * n doubles per thread.
void square_analysis(const double* X, int n, int log2n, int level, const double* lowpass, const double* highpass,
                     int taps, double* W, double* scratch, int threads = 1);

// X receives the n x n array rebuilt from W (the layout square_analysis
// writes), rows then columns at each level from `level` up to log2n-1, on up
// to `threads` threads. scratch: kSquareScratch * n doubles per thread.
void square_synthesis(const double* W, int n, int log2n, int level, const double* lowpass, const double* highpass,
                      int taps, double* X, double* scratch, int threads = 1);
