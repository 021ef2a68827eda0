/* Peer timing for bench/trig_peers.py: FFTW's REDFT10 (the unnormalised
 * DCT-II) on n = 2^lo .. 2^hi, planned once with FFTW_MEASURE, executed
 * repeatedly for at least min_time seconds. Prints "n seconds_per_call". */
#include <fftw3.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + 1e-9 * t.tv_nsec;
}

int main(int argc, char** argv)
{
    const int lo = argc > 1 ? atoi(argv[1]) : 4, hi = argc > 2 ? atoi(argv[2]) : 20;
    const double min_time = argc > 3 ? atof(argv[3]) : 0.05;
    for (int e = lo; e <= hi; ++e) {
        const int n = 1 << e;
        double* in = fftw_alloc_real(n);
        double* out = fftw_alloc_real(n);
        fftw_plan plan = fftw_plan_r2r_1d(n, in, out, FFTW_REDFT10, FFTW_MEASURE);
        for (int i = 0; i < n; ++i) in[i] = sin(0.001 * i) + ((i * 7919) % 13) * 0.01;
        long calls = 0;
        const double start = now();
        double elapsed = 0.0;
        do {
            fftw_execute(plan);
            ++calls;
            elapsed = now() - start;
        } while (elapsed < min_time);
        printf("%d %.9g\n", n, elapsed / calls);
        fftw_destroy_plan(plan);
        fftw_free(in);
        fftw_free(out);
    }
    return 0;
}
