// The code paths of the kernels that dispatch, and which kernel has which: dispatch, the tests and
// the benchmarks take what exists from the one table below. A kernel asks the processor at every
// call (a cpuid query costs well under a microsecond); nothing is cached and nothing configured.
//
// On x86-64 the plug-ins are compiled for the baseline (SSE2); code for a wider path lives in
// functions marked TARGET_AVX2 and runs only once cpuPathRuns has said yes. Other processors
// compile and run the portable path alone.
#pragma once

#include "frame/portable.h"

// The code paths, narrowest first.
enum CpuPath {
  kPortablePath,  // plain C++, for every processor
  kSse2Path,      // x86-64 baseline: SSE2
  kAvx2Path,      // x86-64 with AVX2, POPCNT and BMI2, when the operating system saves the AVX state
  kCpuPathCount
};

// The name of a path, for test and benchmark labels.
inline const char* cpuPathName(CpuPath path) {
  return path == kAvx2Path ? "avx2" : path == kSse2Path ? "sse2" : "portable";
}

// The kernels that choose a path at each call.
enum PathKernel {
  kTessaly5Kernel,
  kTessaly5aKernel,
  kDivideByMinDegreeKernel,
  kAttributePairsKernel,  // attributeJaccard and attributeSimilarity
  kPathKernelCount
};

// Which kernel has which path (portable, sse2, avx2), with the kernel's name for labels.
struct KernelPaths {
  const char* name;
  bool has[kCpuPathCount];
};
const KernelPaths kKernelPaths[kPathKernelCount] = {
    {"tessaly5", {true, true, true}},  // and tessaly5b
    {"tessaly5a", {true, false, true}},
    {"divideByMinDegree", {true, true, false}},
    {"attributePairs", {true, true, true}},
};

#if defined(NETSPARSE_X86_64)
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
  return path == kAvx2Path ? avx2Runs() : true;
#else
  return path == kPortablePath;
#endif
}

// Whether `kernel` has `path` and this processor runs it: the paths a test or benchmark forces.
inline bool kernelRunsPath(PathKernel kernel, CpuPath path) {
  return kKernelPaths[kernel].has[path] && cpuPathRuns(path);
}

// The widest path of `kernel` this processor runs.
inline CpuPath widestPathOf(PathKernel kernel) {
  for (int path = kCpuPathCount - 1; path > kPortablePath; --path)
    if (kernelRunsPath(kernel, (CpuPath)path)) return (CpuPath)path;
  return kPortablePath;
}
