// Conversions of a caller's numbers: to 32-bit integers, to capacities, and the NaN of an input
// that holds no number. None needs the C library.
#pragma once

#include <stdint.h>

// A float truncated toward zero to a 32-bit integer, saturating: NaN gives 0, values beyond the
// 32-bit range give its nearest end. Used where a caller's number has no other defined meaning.
inline int32_t saturatingInt32(double value) {
  if (value != value) return 0;
  if (value <= -2147483648.0) return INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return (int32_t)value;
}

// A float truncated toward zero to a 32-bit integer; anything that is not a number or whose
// truncation leaves the 32-bit range becomes the lowest 32-bit value.
inline int32_t int32OrLowest(double value) {
  if (value > -2147483649.0 && value < 2147483648.0) return (int32_t)value;
  return INT32_MIN;
}

const double kTwoTo63 = 9223372036854775808.0;
const double kTwoTo64 = 18446744073709551616.0;

// A capacity computed as a float, truncated toward zero to an unsigned 64-bit count, values of
// 2^63 and above taken as unsigned. Values no count can hold (negative, not a number, 2^64 or
// more) convert as x86-64 does and are refused by `isCountable` before any output exists.
inline uint64_t capacityFromFloat(double capacity) {
  if (capacity >= kTwoTo63 && capacity < kTwoTo64) return (uint64_t)(capacity - kTwoTo63) + (UINT64_C(1) << 63);
  if (capacity >= -kTwoTo63 && capacity < kTwoTo63) return (uint64_t)(int64_t)capacity;
  return UINT64_C(1) << 63;
}

// Whether a capacity computed as a float is a count: a number from 0 up to, not including, 2^64.
inline bool isCountable(double capacity) { return capacity >= 0.0 && capacity < kTwoTo64; }

// Whether a value is a finite number: neither infinite nor NaN.
inline bool isFinite(double value) { return value - value == 0.0; }

// Positive infinity.
inline double infinity() {
  const union {
    uint64_t bits;
    double value;
  } inf = {UINT64_C(0x7ff0000000000000)};
  return inf.value;
}

// A quiet NaN without the sign bit.
inline double quietNaN() {
  const union {
    uint64_t bits;
    double value;
  } nan = {UINT64_C(0x7ff8000000000000)};
  return nan.value;
}
