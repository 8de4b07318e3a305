// libmex of the test host: printing into a buffer, commands, host errors that unwind, and calls of
// the host's functions. Each operation first checks that it is called on the host's thread.
#include <stdarg.h>
#include <stdio.h>

#include "tests/host/host_state.h"

// The text printed since the last testhostTakeOutput, and the commands run since the last
// testhostTakeCommands.
static std::string printed, commands;

// The host operations of libmex, exported by name (a Windows DLL exports only what is marked).
extern "C" {

TESTHOST_API int mexPrintf(const char* format, ...) {
  testhostEnter("mexPrintf");
  char line[4096];
  va_list values, again;
  va_start(values, format);
  va_copy(again, values);
  const int length = vsnprintf(line, sizeof line, format, values);
  if (length >= 0 && (size_t)length < sizeof line) {
    printed += line;
  } else if (length > 0) {
    std::string longer((size_t)length + 1, '\0');
    vsnprintf(&longer[0], longer.size(), format, again);
    printed.append(longer.data(), (size_t)length);
  }
  va_end(again);
  va_end(values);
  return length;
}

TESTHOST_API int mexEvalString(const char* command) {
  testhostEnter("mexEvalString");
  commands += command;
  commands += "\n";
  return 0;
}

TESTHOST_API mxArray* mexCallMATLABWithTrap(int nlhs, mxArray* plhs[], int nrhs, mxArray*[], const char* name) {
  testhostEnter("mexCallMATLABWithTrap");
  return testhostCallFunction(nlhs, plhs, nrhs, name);
}

TESTHOST_API void mexErrMsgIdAndTxt(const char* identifier, const char* message, ...) {
  testhostEnter("mexErrMsgIdAndTxt");
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
