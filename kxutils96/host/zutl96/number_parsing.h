// Numbers read from text: a double as strtod reads it, and a strict decimal int.
#pragma once

// The number that the text at `psz` starts with, parsed as strtod parses in
// the "C" locale (leading white space, sign, decimal or hexadecimal digits,
// exponent, "inf" and "nan"): 0.0 when the text holds no number there, and
// for a null `psz`; ±HUGE_VAL past the range of a double. Reads only the
// text; reports no failure.
// Example: utlStrToDouble(" 1.5e3x") == 1500.0; utlStrToDouble("abc") == 0.0.
double utlStrToDouble(const char* psz);

// Reads `psz` as a decimal integer: optional white space, an optional + or
// -, one or more digits 0-9, optional white space, and nothing else. Returns
// 1 with the value stored in `*pnValue` when the text is such an integer
// within the range of an int; otherwise 0 with `*pnValue` unchanged (also for
// a null `psz`, an empty text and a value out of range). A null `pnValue`
// only tests.
// Example: utlStrToInt(" +12 ", &n) == 1 with n == 12; utlStrToInt("1x", &n) == 0;
// utlStrToInt("12345678901", &n) == 0.
int utlStrToInt(const char* psz, int* pnValue);
