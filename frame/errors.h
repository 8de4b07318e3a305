// Raising a host error: the call ends there, with an identifier and a message that says what to fix.
#pragma once

#include <stddef.h>

// Raises the host error MATLAB:<word>:<reason> with `message` when `failed` holds; the call ends there.
void failIf(bool failed, const char* word, const char* reason, const char* message);

// Writes "MATLAB:<word>:<reason>" into `identifier`, which has room for `size` bytes; a longer
// identifier is cut short.
void joinIdentifier(char* identifier, size_t size, const char* word, const char* reason);
