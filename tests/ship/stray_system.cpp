// A helper that takes memory from the C library instead of the host's allocator (which frees a
// call's workspace when the call ends in an error): a plug-in built with it imports a function of
// the system's C library that no plug-in needs and that the lists of ship/ do not name.
#include <stddef.h>

extern "C" void* malloc(size_t bytes);

void* strayWorkspace(size_t bytes) { return malloc(bytes); }
