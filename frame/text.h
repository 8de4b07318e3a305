// Text without the C library: comparing names, joining parts of a message, writing a number.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Whether two names are the same, ignoring the case of ASCII letters.
bool sameName(const char* a, const char* b);

// Writes the texts `parts` one after the other into `text` (`size` bytes), cut short where they do
// not fit. Unless `keepPercent`, a '%' becomes '?', so that a caller's text in the result cannot
// make it a format: a message of the host's error must hold none.
void joinTexts(char* text, size_t size, const char* const* parts, int count, bool keepPercent = false);

// The decimal digits of `number` in `text` (room for 21 bytes).
const char* decimalOf(int64_t number, char* text);
