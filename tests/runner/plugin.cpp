#include "tests/runner/plugin.h"

#include <string.h>

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

bool operator==(const PlainSparse& a, const PlainSparse& b) {
  return a.m == b.m && a.n == b.n && a.jc == b.jc && a.ir == b.ir && a.pr.size() == b.pr.size() &&
         (a.pr.empty() || memcmp(a.pr.data(), b.pr.data(), a.pr.size() * sizeof(double)) == 0);
}

void PrintTo(const PlainSparse& matrix, std::ostream* out) {
  *out << matrix.m << "x" << matrix.n << " jc [";
  for (uint64_t start : matrix.jc) *out << " " << (int64_t)start;
  *out << " ] ir [";
  for (uint64_t row : matrix.ir) *out << " " << (int64_t)row;
  out->precision(17);
  *out << " ] pr [";
  for (double value : matrix.pr) *out << " " << value;
  *out << " ]";
}

PlainSparse storedPart(size_t m, size_t n, const uint64_t* jc, const uint64_t* ir, const double* pr, uint64_t room) {
  PlainSparse matrix;
  matrix.m = m;
  matrix.n = n;
  matrix.jc.assign(jc, jc + n + 1);
  const uint64_t stored = jc[n] < room ? jc[n] : room;
  matrix.ir.assign(ir, ir + stored);
  matrix.pr.assign(pr, pr + stored);
  return matrix;
}

PlainSparse everyElementOf(size_t m, size_t n, const double* values) {
  PlainSparse matrix;
  matrix.m = m;
  matrix.n = n;
  for (size_t j = 0; j < n; ++j) {
    for (size_t i = 0; i < m; ++i) matrix.ir.push_back(i), matrix.pr.push_back(values[j * m + i]);
    matrix.jc.push_back(matrix.ir.size());
  }
  return matrix;
}

PluginCall callEntry(MexFunction entry, int nlhs, const std::vector<mxArray*>& inputs) {
  PluginCall call;
  mxArray* outputs[4] = {nullptr, nullptr, nullptr, nullptr};
  testhostTakeOutput();
  call.returned = testhostCall(entry, nlhs, outputs, (int)inputs.size(),
                               const_cast<const mxArray**>(inputs.data()), &call.error);
  call.printed = testhostTakeOutput();
  call.workspaceLeft = testhostFreeWorkspace();
  call.arraysLeft = testhostArraysLeft();
  if (outputs[0] && mxIsSparse(outputs[0])) {
    call.outputCreated = true;
    const mxArray* output = outputs[0];
    call.result = storedPart(mxGetM(output), mxGetN(output), mxGetJc_730(output), mxGetIr_730(output),
                             mxGetPr(output), testhostNzmax(output));
    call.nzmax = testhostNzmax(output);
    call.guardsIntact = testhostGuardsIntact(output);
  } else if (outputs[0] && mxGetClassID(outputs[0]) == mxDOUBLE_CLASS && !mxIsComplex(outputs[0])) {
    call.outputCreated = call.full = true;
    call.result = everyElementOf(mxGetM(outputs[0]), mxGetN(outputs[0]), mxGetPr(outputs[0]));
  }
  for (mxArray* output : outputs)
    if (output) testhostDestroy(output);
  for (mxArray* input : inputs) testhostDestroy(input);
  return call;
}
