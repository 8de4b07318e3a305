#include "tests/runner/plugin.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>

static void* openLibrary(const std::string& path) { return (void*)LoadLibraryA(path.c_str()); }
static void* symbolOf(void* library, const std::string& name) {
  return (void*)GetProcAddress((HMODULE)library, name.c_str());
}
#else
#include <dlfcn.h>

static void* openLibrary(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
static void* symbolOf(void* library, const std::string& name) { return dlsym(library, name.c_str()); }
#endif

void* findExport(const std::string& path, const std::string& name) {
  void* library = openLibrary(path);
  if (!library) throw std::runtime_error("cannot load " + path);
  return symbolOf(library, name);
}

MexFunction loadPlugin(const std::string& path) {
  void* entry = findExport(path, "mexFunction");
  if (!entry) throw std::runtime_error(path + " exports no mexFunction");
  return (MexFunction)entry;
}
