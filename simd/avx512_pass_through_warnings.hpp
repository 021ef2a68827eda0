// GCC 12 sees the AVX-512 intrinsics' deliberately undefined pass-through
// operands as uninitialised once they are inlined. Code built from those
// intrinsics sits between SIMD_AVX512_QUIET_BEGIN and SIMD_AVX512_QUIET_END,
// which switch these two warnings off for it alone.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#define SIMD_AVX512_QUIET_BEGIN                                                                                        \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wmaybe-uninitialized\"")                        \
        _Pragma("GCC diagnostic ignored \"-Wuninitialized\"")
#define SIMD_AVX512_QUIET_END _Pragma("GCC diagnostic pop")
#else
#define SIMD_AVX512_QUIET_BEGIN
#define SIMD_AVX512_QUIET_END
#endif
