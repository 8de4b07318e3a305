#include "frame/errors.h"

#include "frame/host.h"

// Raises the host error MATLAB:<word>:<reason> with `message` when `failed` holds.
void failIf(bool failed, const char* word, const char* reason, const char* message) {
  if (!failed) return;
  char identifier[64];
  joinIdentifier(identifier, sizeof identifier, word, reason);
  mexErrMsgIdAndTxt(identifier, message);
}

// Writes "MATLAB:<word>:<reason>" into `identifier`, cut short to its `size` bytes.
void joinIdentifier(char* identifier, size_t size, const char* word, const char* reason) {
  const char* parts[5] = {"MATLAB", ":", word, ":", reason};
  size_t length = 0;
  for (const char* part : parts)
    for (; *part && length + 1 < size; ++part) identifier[length++] = *part;
  if (size > 0) identifier[length] = '\0';
}
