#include "frame/text.h"

bool sameName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char x = *a >= 'A' && *a <= 'Z' ? (char)(*a + 32) : *a, y = *b >= 'A' && *b <= 'Z' ? (char)(*b + 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

void joinTexts(char* text, size_t size, const char* const* parts, int count, bool keepPercent) {
  size_t length = 0;
  for (int k = 0; k < count; ++k)
    for (const char* part = parts[k]; *part && length + 1 < size; ++part)
      text[length++] = *part == '%' && !keepPercent ? '?' : *part;
  if (size > 0) text[length] = '\0';
}

const char* decimalOf(int64_t number, char* text) {
  char digits[21];
  int count = 0;
  uint64_t rest = number < 0 ? 0 - (uint64_t)number : (uint64_t)number;
  do digits[count++] = (char)('0' + rest % 10), rest /= 10;
  while (rest > 0);
  int length = 0;
  if (number < 0) text[length++] = '-';
  while (count > 0) text[length++] = digits[--count];
  text[length] = '\0';
  return text;
}

