#pragma once

// Whether this build may format lines with the processor's byte shuffles
// (SSSE3), and whether the processor running it has them.
//   ARRAYFORGE_SHUFFLES       1 where the compiler can emit them
//   ARRAYFORGE_WITH_SHUFFLES  marks a function compiled for them
//   ProcessorShuffles()       asked once per line shape, at run time

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ARRAYFORGE_SHUFFLES 1
#define ARRAYFORGE_WITH_SHUFFLES __attribute__((target("ssse3")))
inline bool ProcessorShuffles() { return __builtin_cpu_supports("ssse3"); }
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <intrin.h>
#define ARRAYFORGE_SHUFFLES 1
#define ARRAYFORGE_WITH_SHUFFLES
inline bool ProcessorShuffles() {
    int registers[4];
    __cpuid(registers, 1);
    return (registers[2] & (1 << 9)) != 0;  // ECX bit 9: SSSE3
}
#else
#define ARRAYFORGE_SHUFFLES 0
#endif
