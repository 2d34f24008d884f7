#pragma once
// Some library code (Qt's painting among it) returns with the upper halves of
// the CPU's AVX registers still in use. Until they are cleared, every call
// into the maths library's AVX variants pays for switching vector modes: on
// a million points sin and log then cost twenty times what they should. One
// instruction clears them; it exists only where AVX does.

namespace geovanta {

inline void clearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) asm volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace geovanta
