// The platform's threads, affinity and environment. The plug-ins of macOS and Linux we ship are
// built without the C library's headers, so there the few functions used are declared here; every
// other build takes them from the system's headers.
#include "frame/threads.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#elif __STDC_HOSTED__
#include <pthread.h>
#include <stdlib.h>
#if defined(__APPLE__)
#include <sys/sysctl.h>
#else
#include <sched.h>
#endif
#else
#include <stddef.h>
extern "C" {
// A pthread_t is one word on Linux and macOS alike.
typedef uintptr_t pthread_t;
int pthread_create(pthread_t* thread, const void* attributes, void* (*start)(void*), void* argument);
int pthread_join(pthread_t thread, void** result);
char* getenv(const char* name);
#if defined(__APPLE__)
int sysctlbyname(const char* name, void* value, size_t* size, void* newValue, size_t newSize);
#else
int sched_getaffinity(int process, size_t size, void* mask);
#endif
}
#endif

#include "frame/bit_count.h"

namespace {

// What a started thread runs: one worker's part.
struct WorkerStart {
  WorkerTask task;
  void* context;
  int32_t worker;
};

#if defined(_WIN32)

typedef HANDLE ThreadHandle;

DWORD WINAPI runStarted(LPVOID start) {
  const WorkerStart& part = *(const WorkerStart*)start;
  part.task(part.context, part.worker);
  return 0;
}

// Starts a thread running `start`; false when the system cannot.
bool startThread(ThreadHandle& handle, WorkerStart& start) {
  handle = CreateThread(0, 0, runStarted, &start, 0, 0);
  return handle != 0;
}

void joinThread(ThreadHandle handle) {
  WaitForSingleObject(handle, INFINITE);
  CloseHandle(handle);
}

#else

typedef pthread_t ThreadHandle;

void* runStarted(void* start) {
  const WorkerStart& part = *(const WorkerStart*)start;
  part.task(part.context, part.worker);
  return 0;
}

// Starts a thread running `start`; false when the system cannot.
bool startThread(ThreadHandle& handle, WorkerStart& start) { return pthread_create(&handle, 0, runStarted, &start) == 0; }

void joinThread(ThreadHandle handle) { pthread_join(handle, 0); }

#endif

}  // namespace

void runWorkers(WorkerTask task, void* context, int32_t workers) {
  if (workers > kMostThreads) workers = kMostThreads;
  WorkerStart starts[kMostThreads];
  ThreadHandle handles[kMostThreads];
  bool started[kMostThreads];
  for (int32_t w = 1; w < workers; ++w) {
    starts[w] = WorkerStart{task, context, w};
    started[w] = startThread(handles[w], starts[w]);
  }
  task(context, 0);
  for (int32_t w = 1; w < workers; ++w) {
    if (started[w]) joinThread(handles[w]);
    else task(context, w);
  }
}

int32_t processorsAvailable() {
  int64_t count = 0;
#if defined(_WIN32)
  DWORD_PTR process = 0, system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) count = popcount64((uint64_t)process);
  // A process that spans processor groups has no single mask: every active processor counts.
  if (count == 0) count = (int64_t)GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
#elif defined(__APPLE__)
  int32_t active = 0;
  size_t size = sizeof active;
  if (sysctlbyname("hw.activecpu", &active, &size, 0, 0) == 0) count = active;
#else
  // Room for 1024 processors, as the C library's cpu_set_t has.
#if __STDC_HOSTED__
  cpu_set_t mask;
#else
  uint64_t mask[16];
#endif
  if (sched_getaffinity(0, sizeof mask, &mask) == 0) {
    const uint64_t* words = (const uint64_t*)(const void*)&mask;
    for (size_t k = 0; k < sizeof mask / sizeof(uint64_t); ++k) count += (int64_t)popcount64(words[k]);
  }
#endif
  return count < 1 ? 1 : count > INT32_MAX ? INT32_MAX : (int32_t)count;
}

int32_t threadsFromEnvironment() {
  char text[32] = {};
#if defined(_WIN32)
  const DWORD length = GetEnvironmentVariableA("OMP_NUM_THREADS", text, sizeof text);
  if (length == 0 || length >= sizeof text) return 0;
#else
  const char* value = getenv("OMP_NUM_THREADS");
  if (!value) return 0;
  for (size_t k = 0; k + 1 < sizeof text && value[k]; ++k) text[k] = value[k];
#endif
  // OpenMP allows a list ("4,2") of which the first is this level's; spaces may lead.
  const char* digit = text;
  while (*digit == ' ') ++digit;
  int64_t threads = 0;
  for (; *digit >= '0' && *digit <= '9' && threads <= INT32_MAX; ++digit) threads = 10 * threads + (*digit - '0');
  const bool ended = *digit == '\0' || *digit == ',' || *digit == ' ';
  return ended && threads >= 1 && threads <= INT32_MAX ? (int32_t)threads : 0;
}
