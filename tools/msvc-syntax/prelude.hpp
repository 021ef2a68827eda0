// Included before every source that tools/msvc-syntax/check.sh compiles
// as Microsoft's compiler would see it: _MSC_VER set, __GNUC__ not, with
// libc++'s headers and mingw-w64's C headers standing in for the MSVC
// runtime's. What follows only makes those headers fit that setting.
#pragma once

#if defined(__GNUC__) || !defined(_MSC_VER)
#error "the check must see _MSC_VER and not __GNUC__"
#endif

// libc++ without the MSVC runtime's own exception and new headers; the
// C headers as for the Universal CRT, which provides the const overloads
// of wcschr and the like.
#define _LIBCPP_NO_VCRUNTIME
#define _UCRT
#define _CRT_CONST_CORRECT_OVERLOADS

// mingw-w64 places its attributes after declarators, as GCC allows; with
// _MSC_VER they become __declspec there, which no compiler takes.
#include <_mingw.h>
#undef __MINGW_ATTRIB_NORETURN
#define __MINGW_ATTRIB_NORETURN
#undef __MINGW_ATTRIB_DEPRECATED
#define __MINGW_ATTRIB_DEPRECATED
#undef __MINGW_ATTRIB_DEPRECATED_MSG
#define __MINGW_ATTRIB_DEPRECATED_MSG(x)
#undef __MINGW_ATTRIB_MALLOC
#define __MINGW_ATTRIB_MALLOC
#undef __MINGW_NOTHROW
#define __MINGW_NOTHROW
// Without __GNUC__ mingw-w64 defines __attribute__(x) away, which breaks
// the compiler's own intrinsics headers (their types are vector
// attributes): they are read here with it, before anything else.
#pragma push_macro("__attribute__")
#undef __attribute__
#include <immintrin.h>
#include <intrin.h>
#pragma pop_macro("__attribute__")

// Declared by the Windows SDK's intrin.h, not by mingw-w64's.
extern "C" void __cpuidex(int info[4], int leaf, int subleaf);

// The Universal CRT has no aligned_alloc (it has _aligned_malloc).
#include <__config>
#undef _LIBCPP_HAS_ALIGNED_ALLOC

// Declared by the Universal CRT's stdlib.h, not by mingw-w64's; libc++'s
// locale support calls them.
#include <stdlib.h>
extern "C" {
float __cdecl _strtof_l(const char*, char**, _locale_t);
long double __cdecl _strtold_l(const char*, char**, _locale_t);
}
