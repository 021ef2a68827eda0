// The run-time choice of path: the processor's widest (capped by the widest
// compiled), a switch for the tests, and dispatch, which runs a kernel's
// template with the vector of the path chosen.
#pragma once

#include "simd/processor.hpp"

namespace simd {

// The instruction set forced by force_isa, or -1 for the processor's own.
inline int forced_isa = -1;

// The widest instruction set this processor runs. A build defining
// WAVETIDE_VECTORS_OF_16_BYTES stops at two lanes: GCC on Windows, where
// the stack is aligned to 16 bytes only, may spill wider vectors to it with
// aligned moves, and without an assembler that makes those moves unaligned
// (-muse-unaligned-vector-move) the wider paths could fault there.
inline Isa best_isa()
{
#if defined(SIMD_X86) && defined(WAVETIDE_VECTORS_OF_16_BYTES)
    return Isa::sse2;
#else
    static const Isa best = [] {
        const int widest = widest_path_of_processor();
        return static_cast<Isa>(widest < SIMD_WIDEST ? widest : SIMD_WIDEST);
    }();
    return best;
#endif
}

// The path's name: the two-lane path as the processor calls its unit.
inline const char* isa_name(Isa isa)
{
    switch (isa) {
    case Isa::scalar: return "scalar";
    case Isa::avx2: return "avx2";
    case Isa::avx512: return "avx512";
    default: break;
    }
#if defined(SIMD_X86_64) || defined(SIMD_X86)
    return "sse2";
#elif defined(__aarch64__) || defined(_M_ARM64)
    return "neon";
#else
    return "two lanes";
#endif
}

// Test-only switch: later kernel calls run the given path, which must not be
// wider than best_isa(). Returns false (and changes nothing) if it is.
inline bool force_isa(Isa isa)
{
    if (static_cast<int>(isa) > static_cast<int>(best_isa())) return false;
    forced_isa = static_cast<int>(isa);
    return true;
}

// Back to the processor's own choice.
inline void unforce_isa() { forced_isa = -1; }

// The path the next kernel call takes.
inline Isa current_isa() { return forced_isa >= 0 ? static_cast<Isa>(forced_isa) : best_isa(); }

// The widest path of vectors of at most 256 bits, for kernels that
// measured slower on AVX-512 than on AVX2.
constexpr Isa kWidestAt256Bits = Isa::avx2;

// One instantiation of Kernel::run per path, each compiled for its target.
#if SIMD_WIDEST >= 3
template <class Kernel, class... A> SIMD_TARGET_AVX512 void run_avx512(A... a)
{
    Kernel::template run<f64x8>(a...);
}
#endif
#if SIMD_WIDEST >= 2
template <class Kernel, class... A> SIMD_TARGET_AVX2 void run_avx2(A... a)
{
    Kernel::template run<f64x4>(a...);
}
#endif
template <class Kernel, class... A> void run_sse2(A... a)
{
#if SIMD_WIDEST >= 1
    Kernel::template run<f64x2>(a...);
#else
    Kernel::template run<double>(a...);
#endif
}
template <class Kernel, class... A> void run_scalar(A... a) { Kernel::template run<double>(a...); }

// Kernel::run<V>(a...) with V the vector of the current path, or of Widest
// where the current path is wider: a kernel that measured slower on a wider
// path names the widest it gains from (the doubles are the same on each),
// such as kWidestAt256Bits.
template <class Kernel, Isa Widest = Isa::avx512, class... A> void dispatch(A... a)
{
    const Isa current = current_isa();
    switch (current > Widest ? Widest : current) {
#if SIMD_WIDEST >= 3
    case Isa::avx512:
        if constexpr (Widest == Isa::avx512) run_avx512<Kernel>(a...);
        return;
#endif
#if SIMD_WIDEST >= 2
    case Isa::avx2:
        if constexpr (Widest >= Isa::avx2) run_avx2<Kernel>(a...);
        return;
#endif
    case Isa::scalar: run_scalar<Kernel>(a...); return;
    default: run_sse2<Kernel>(a...); return;
    }
}

} // namespace simd
