// libmex of the plain-array test host: printing into a buffer and host errors that unwind.
#include <stdarg.h>
#include <stdio.h>

#include "tests/host/testhost.h"

// The text printed since the last testhostTakeOutput.
static std::string printed;

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

TESTHOST_API void mexErrMsgIdAndTxt(const char* identifier, const char* message, ...) {
  throw HostError{identifier, message};
}

}  // extern "C"

std::string testhostTakeOutput() {
  std::string text;
  text.swap(printed);
  return text;
}
