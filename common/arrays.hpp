// Small array helpers shared by every kernel. Each runs from index 0 upwards,
// one element at a time, on distinct buffers.
#pragma once

// dst[i] = src[i], i = 0 .. n-1
inline void copy_doubles(const double* src, double* dst, int n)
{
    for (int i = 0; i < n; ++i) dst[i] = src[i];
}

// acc[i] = acc[i] + src[i]
inline void add_doubles(const double* src, double* acc, int n)
{
    for (int i = 0; i < n; ++i) acc[i] = acc[i] + src[i];
}

// dst[i] = a[i] + b[i]
inline void sum_doubles(const double* a, const double* b, int n, double* dst)
{
    for (int i = 0; i < n; ++i) dst[i] = a[i] + b[i];
}

// p[i] = 0.0
inline void zero_doubles(double* p, int n)
{
    for (int i = 0; i < n; ++i) p[i] = 0.0;
}
