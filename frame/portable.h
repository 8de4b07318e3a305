// Every compiler builtin, attribute and instruction outside plain C++ that the modules use, each
// behind a portable name: no other file of the modules uses one (a test checks this). Only the
// compiler's own headers are included, so the plug-ins still need no C library.
#pragma once

#include <stdint.h>

#if defined(__x86_64__) || defined(_M_X64)
#define NETSPARSE_X86_64 1
#endif

#if defined(_MSC_VER) && !defined(__clang__)
#define NETSPARSE_MSVC 1
#include <intrin.h>
#elif defined(NETSPARSE_X86_64)
#include <cpuid.h>
#endif

// Marks a plug-in's entry points as its only exported symbols.
#if defined(_WIN32)
#define MEX_ENTRY extern "C" __declspec(dllexport)
#else
#define MEX_ENTRY extern "C" __attribute__((visibility("default")))
#endif

// Marks a function whose code may use AVX2, POPCNT and BMI2: it runs only once the processor has
// said yes (cpuPathRuns in frame/cpu_paths.h). MSVC compiles those intrinsics in any function.
#if defined(NETSPARSE_MSVC) || !defined(NETSPARSE_X86_64)
#define TARGET_AVX2
#else
#define TARGET_AVX2 __attribute__((target("avx2,popcnt,bmi2")))
#endif

// Starts fetching the cache line at `address` for reading; never faults, and does nothing where
// the compiler has no such instruction.
inline void prefetchForReading(const void* address) {
#if defined(NETSPARSE_MSVC) && defined(NETSPARSE_X86_64)
  _mm_prefetch((const char*)address, _MM_HINT_T0);
#elif defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

// The square root of x, correctly rounded as IEEE arithmetic has it: the processor's instruction,
// never the C library's function (the plug-ins are compiled without errno for it).
inline double squareRoot(double x) {
#if defined(NETSPARSE_MSVC) && defined(NETSPARSE_X86_64)
  return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_set_sd(x), _mm_set_sd(x)));
#else
  return __builtin_sqrt(x);
#endif
}

#if defined(NETSPARSE_X86_64)

// The four registers cpuid fills for `leaf` and `subleaf`; all 0 beyond the highest leaf.
struct CpuidRegisters {
  uint32_t eax, ebx, ecx, edx;
};

inline CpuidRegisters cpuidOf(uint32_t leaf, uint32_t subleaf) {
  CpuidRegisters r = {0, 0, 0, 0};
#if defined(NETSPARSE_MSVC)
  int highest[4], values[4];
  __cpuid(highest, (int)(leaf & 0x80000000u));
  if ((uint32_t)highest[0] < leaf) return r;
  __cpuidex(values, (int)leaf, (int)subleaf);
  r.eax = (uint32_t)values[0], r.ebx = (uint32_t)values[1], r.ecx = (uint32_t)values[2], r.edx = (uint32_t)values[3];
#else
  unsigned a, b, c, d;
  if (!__get_cpuid_count(leaf, subleaf, &a, &b, &c, &d)) return r;
  r.eax = a, r.ebx = b, r.ecx = c, r.edx = d;
#endif
  return r;
}

// The state components the operating system saves on a task switch (XCR0). Only called once
// cpuid has reported OSXSAVE, without which the instruction faults.
inline uint64_t savedStateComponents() {
#if defined(NETSPARSE_MSVC)
  return _xgetbv(0);
#else
  uint32_t low, high;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return ((uint64_t)high << 32) | low;
#endif
}

#endif
