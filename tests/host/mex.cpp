// libmex of the plain-array test host: printing into a buffer and host errors that unwind.
#include <stdarg.h>
#include <stdio.h>

#include "tests/host/testhost.h"

// The text printed since the last testhostTakeOutput, and the commands run since the last
// testhostTakeCommands.
static std::string printed, commands;

// What maxNumCompThreads answers; 0 when the host has no such function.
static int hostThreads = 0;

// The host operations of libmex, exported by name (a Windows DLL exports only what is marked).
extern "C" {

TESTHOST_API int mexPrintf(const char* format, ...) {
  char line[4096];
  va_list values;
  va_start(values, format);
  const int length = vsnprintf(line, sizeof line, format, values);
  va_end(values);
  printed += line;
  return length;
}

TESTHOST_API int mexEvalString(const char* command) {
  commands += command;
  commands += "\n";
  return 0;
}

// The host's functions: maxNumCompThreads alone, when a test has given it a number.
TESTHOST_API mxArray* mexCallMATLABWithTrap(int nlhs, mxArray* plhs[], int, mxArray*[], const char* name) {
  if (std::string(name) != "maxNumCompThreads" || hostThreads == 0) return testhostText("undefined function");
  if (nlhs > 0) plhs[0] = testhostFull(1, 1, {(double)hostThreads});
  return nullptr;
}

TESTHOST_API void mexErrMsgIdAndTxt(const char* identifier, const char* message, ...) {
  throw HostError{identifier, message};
}

}  // extern "C"

std::string testhostTakeOutput() {
  std::string text;
  text.swap(printed);
  return text;
}

std::string testhostTakeCommands() {
  std::string text;
  text.swap(commands);
  return text;
}

void testhostSetThreads(int threads) { hostThreads = threads; }
