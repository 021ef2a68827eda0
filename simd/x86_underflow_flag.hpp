// The processor's underflow flag (MXCSR.UE on x86) around a piece of work.
// Scalar meaning: raised(results) is true if an operation between start()
// and the call gave a tiny inexact result, for operations whose results are
// stored in memory reachable from `results` before the call; the flag's
// earlier state is restored. The statements order the memory accesses
// around them ("memory" clobber), so the work's loads and stores stay in
// between. Off x86 with GCC or Clang there is no watch (available is false).
#pragma once

#include "simd/simd.hpp"

namespace simd {

struct UnderflowWatch {
#if defined(SIMD_X86)
    static constexpr bool available = true;
    static constexpr unsigned kUnderflow = 0x10u;
    unsigned saved = 0;

    // Clears the flag, keeping its state for raised().
    SIMD_INLINE void start()
    {
        asm volatile("stmxcsr %0" : "=m"(saved) : : "memory");
        const unsigned cleared = saved & ~kUnderflow;
        asm volatile("ldmxcsr %0" : : "m"(cleared) : "memory");
    }
    SIMD_INLINE bool raised(const void* results)
    {
        unsigned after;
        asm volatile("stmxcsr %0" : "=m"(after) : "r"(results) : "memory");
        const unsigned restored = after | (saved & kUnderflow);
        asm volatile("ldmxcsr %0" : : "m"(restored) : "memory");
        return after & kUnderflow;
    }
#else
    static constexpr bool available = false;
    SIMD_INLINE void start() {}
    SIMD_INLINE bool raised(const void*) { return false; }
#endif
};

} // namespace simd
