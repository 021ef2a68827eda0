/* Peer timing for bench/table_trig.py: FFTW's REDFT10 (the unnormalised
 * DCT-II) of n = 2^e for each exponent e given, planned once with
 * FFTW_MEASURE. Each of 7 rounds runs the plan for at least min_time
 * seconds; prints "n median_seconds_per_call". */
#include <fftw3.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { ROUNDS = 7 };

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + 1e-9 * t.tv_nsec;
}

static int by_value(const void* a, const void* b)
{
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv)
{
    const double min_time = 0.05;
    for (int k = 1; k < argc; ++k) {
        const int n = 1 << atoi(argv[k]);
        double* in = fftw_alloc_real(n);
        double* out = fftw_alloc_real(n);
        fftw_plan plan = fftw_plan_r2r_1d(n, in, out, FFTW_REDFT10, FFTW_MEASURE);
        for (int i = 0; i < n; ++i) in[i] = sin(0.001 * i) + ((i * 7919) % 13) * 0.01;
        double per_call[ROUNDS];
        for (int r = 0; r < ROUNDS; ++r) {
            long calls = 0;
            const double start = now();
            double elapsed = 0.0;
            do {
                fftw_execute(plan);
                ++calls;
                elapsed = now() - start;
            } while (elapsed < min_time);
            per_call[r] = elapsed / calls;
        }
        qsort(per_call, ROUNDS, sizeof per_call[0], by_value);
        printf("%d %.9g\n", n, per_call[ROUNDS / 2]);
        fftw_destroy_plan(plan);
        fftw_free(in);
        fftw_free(out);
    }
    return 0;
}
