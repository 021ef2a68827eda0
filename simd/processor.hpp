// What the processor and its operating system run: the processor's
// feature bits (cpuid leaves 1 and 7) and, for the wide registers, whether
// the system saves their state on a context switch (xgetbv of XCR0: bits 1
// and 2 for SSE and AVX, 5 to 7 for AVX-512's opmask and upper halves).
#pragma once

#if defined(SIMD_X86_64) && defined(_MSC_VER) && !defined(__GNUC__)
#include <immintrin.h>
#include <intrin.h>
#elif defined(SIMD_X86)
#include <cpuid.h>
#endif

namespace simd {

#if defined(SIMD_X86_64) && defined(_MSC_VER) && !defined(__GNUC__)
inline void cpuid(unsigned leaf, unsigned (&r)[4])
{
    int out[4];
    __cpuidex(out, static_cast<int>(leaf), 0);
    for (int i = 0; i < 4; ++i) r[i] = static_cast<unsigned>(out[i]);
}
inline unsigned long long xcr0() { return _xgetbv(0); }
#define SIMD_HAVE_CPUID 1
#elif defined(SIMD_X86)
inline void cpuid(unsigned leaf, unsigned (&r)[4])
{
    __cpuid_count(leaf, 0, r[0], r[1], r[2], r[3]);
}
inline unsigned long long xcr0()
{
    unsigned lo, hi;
    asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<unsigned long long>(hi) << 32) | lo;
}
#define SIMD_HAVE_CPUID 1
#endif

// Asked once per process: kept out of line, so that the kernels' entries,
// which call it through best_isa, stay small.
#if defined(__GNUC__)
#define SIMD_OUT_OF_LINE __attribute__((noinline, cold))
#elif defined(_MSC_VER)
#define SIMD_OUT_OF_LINE __declspec(noinline)
#else
#define SIMD_OUT_OF_LINE
#endif

// The widest path this processor runs: 3 AVX-512F, 2 AVX2, 1 SSE2 (or the
// two lanes of another processor), 0 none.
SIMD_OUT_OF_LINE inline int widest_path_of_processor()
{
#if defined(SIMD_HAVE_CPUID)
    unsigned zero[4], one[4], seven[4] = {0, 0, 0, 0};
    cpuid(0, zero); // zero[0]: the highest leaf
    cpuid(1, one);
    if (zero[0] >= 7) cpuid(7, seven);
    const bool osxsave = (one[2] >> 27) & 1, avx = (one[2] >> 28) & 1;
    const unsigned long long saved = osxsave ? xcr0() : 0;
    const bool avx_state = (saved & 0x6) == 0x6, avx512_state = (saved & 0xE6) == 0xE6;
    const bool avx2 = (seven[1] >> 5) & 1, avx512f = (seven[1] >> 16) & 1;
    if (avx && avx2 && avx512f && avx512_state) return 3;
    if (avx && avx2 && avx_state) return 2;
    return 1;
#elif defined(__GNUC__)
    return 1;
#else
    return 0;
#endif
}

} // namespace simd
