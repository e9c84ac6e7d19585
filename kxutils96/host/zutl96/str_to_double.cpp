// utlStrToDouble: strtod's parse in the "C" locale, whatever the process's
// locale is and whichever run-time library the program has. std::from_chars
// never consults a locale and rounds correctly on every system; this file
// adds the parts of strtod's grammar that it leaves out (leading white
// space, a plus sign, the 0x of hexadecimal numbers) and strtod's results
// past the range of a double.
#include <kxutils96/host/zutl96/number_parsing.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "detail/byte_kinds.h"

using namespace kxu::zutl96::detail;

namespace {

bool IsHexDigit(char ch) {
  const unsigned char lower = static_cast<unsigned char>(ch) | 0x20;
  return IsDigit(static_cast<unsigned char>(ch)) || (lower >= 'a' && lower <= 'f');
}

// "0x" followed by a hexadecimal mantissa: a digit, or a point and a digit.
bool StartsHexNumber(const char* p) {
  if (p[0] != '0' || (p[1] | 0x20) != 'x') return false;
  return IsHexDigit(p[2]) || (p[2] == '.' && IsHexDigit(p[3]));
}

// The exponent after `pMarker` ('e' or 'p'), held within ±100000: far past
// any double, and safe to add digit counts to.
long ExponentAt(const char* pMarker, const char* pEnd) {
  const char* p = pMarker + 1;
  const bool bNegative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long exponent = 0;
  for (; p < pEnd && IsDigit(static_cast<unsigned char>(*p)); ++p) {
    if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
  }
  return bNegative ? -exponent : exponent;
}

// Whether the number in [pFirst, pEnd), which from_chars found out of range,
// is too large (rather than too small) for a double: whether the power of
// its base at its first significant digit is above 0. Out of range, that
// power is hundreds away from 0, so a digit more or less does not matter.
bool IsOverflow(const char* pFirst, const char* pEnd, bool bHex) {
  const long digitPower = bHex ? 4 : 1;  // a hexadecimal digit is four powers of 2
  const char marker = bHex ? 'p' : 'e';
  const auto isMarker = [marker](char ch) { return (ch | 0x20) == marker; };
  const char* p = pFirst;
  while (p < pEnd && *p == '0') ++p;
  long power = 0;
  for (; p < pEnd && *p != '.' && !isMarker(*p); ++p) power += digitPower;
  if (power == 0 && p < pEnd && *p == '.') {
    for (++p; p < pEnd && *p == '0'; ++p) power -= digitPower;
  }
  while (p < pEnd && !isMarker(*p)) ++p;
  if (p < pEnd) power += ExponentAt(p, pEnd);
  return power > 0;
}

// Parses the unsigned number at `p` into `*pValue`; returns its end, or `p`
// when no number starts there.
const char* ParseMagnitude(const char* p, double* pValue) {
  if (*p == '-' || *p == '+') return p;  // from_chars would take a second sign
  const bool bHex = StartsHexNumber(p);
  const char* pFirst = bHex ? p + 2 : p;
  const auto [pEnd, error] =
      std::from_chars(pFirst, pFirst + std::strlen(pFirst), *pValue,
                      bHex ? std::chars_format::hex : std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    *pValue = IsOverflow(pFirst, pEnd, bHex) ? HUGE_VAL : 0.0;
  } else if (error != std::errc()) {
    return p;
  }
  return pEnd;
}

}  // namespace

double utlStrToDouble(const char* psz) {
  if (psz == nullptr) return 0.0;
  const char* p = psz;
  while (IsWhite(static_cast<unsigned char>(*p))) ++p;
  const bool bNegative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  double magnitude = 0.0;
  if (ParseMagnitude(p, &magnitude) == p) return 0.0;
  return bNegative ? -magnitude : magnitude;
}
