// Which vector instructions a kernel may use, asked of the processor at every call (a cpuid
// query costs well under a microsecond). Nothing is cached and nothing is configured: a kernel
// takes `widestCpuPath()` unless a test or benchmark hands it a path of its own choosing.
//
// Only the compiler's own headers are used, so the plug-ins still need no C library. On x86-64
// the plug-ins are compiled for the baseline (SSE2); code for a wider path lives in functions
// marked TARGET_AVX2 and runs only after `cpuPathRuns` has said yes. Other processors compile
// and run the portable path alone.
#pragma once

#include <stdint.h>

// The code paths of a dispatching kernel, narrowest first.
enum CpuPath {
  kPortablePath,  // plain C++, for every processor
  kSse2Path,      // x86-64 baseline: SSE2
  kAvx2Path,      // x86-64 with AVX2, POPCNT and BMI2, when the operating system saves the AVX state
};

// Every path, for tests and benchmarks that force them one by one.
const CpuPath kEveryCpuPath[] = {kPortablePath, kSse2Path, kAvx2Path};

// The name of a path, for test and benchmark labels.
inline const char* cpuPathName(CpuPath path) {
  return path == kAvx2Path ? "avx2" : path == kSse2Path ? "sse2" : "portable";
}

#if defined(__x86_64__) || defined(_M_X64)
#define NETSPARSE_X86_64 1
#include <immintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
// MSVC compiles AVX2 intrinsics in any function.
#define TARGET_AVX2
#else
#include <cpuid.h>
#define TARGET_AVX2 __attribute__((target("avx2,popcnt,bmi2")))
#endif

// The four registers cpuid fills for `leaf` and `subleaf`; all 0 beyond the highest leaf.
struct CpuidRegisters {
  uint32_t eax, ebx, ecx, edx;
};

inline CpuidRegisters cpuidOf(uint32_t leaf, uint32_t subleaf) {
  CpuidRegisters r = {0, 0, 0, 0};
#if defined(_MSC_VER) && !defined(__clang__)
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
#if defined(_MSC_VER) && !defined(__clang__)
  return _xgetbv(0);
#else
  uint32_t low, high;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return ((uint64_t)high << 32) | low;
#endif
}

// Whether the processor has AVX2, POPCNT and BMI2 and the operating system saves the SSE and
// AVX registers, without which AVX instructions fault.
inline bool avx2Runs() {
  const CpuidRegisters features = cpuidOf(1, 0);
  const bool osSavesState = (features.ecx >> 27) & 1, hasAvx = (features.ecx >> 28) & 1;
  const bool hasPopcnt = (features.ecx >> 23) & 1;
  if (!osSavesState || !hasAvx || !hasPopcnt) return false;
  if ((savedStateComponents() & 6) != 6) return false;
  const CpuidRegisters extended = cpuidOf(7, 0);
  const bool hasAvx2 = (extended.ebx >> 5) & 1, hasBmi2 = (extended.ebx >> 8) & 1;
  return hasAvx2 && hasBmi2;
}
#endif

// Whether this processor and its operating system can run `path`.
inline bool cpuPathRuns(CpuPath path) {
#if defined(NETSPARSE_X86_64)
  if (path == kAvx2Path) return avx2Runs();
  return true;
#else
  return path == kPortablePath;
#endif
}

// The widest path this processor and its operating system can run.
inline CpuPath widestCpuPath() {
  if (cpuPathRuns(kAvx2Path)) return kAvx2Path;
  if (cpuPathRuns(kSse2Path)) return kSse2Path;
  return kPortablePath;
}
