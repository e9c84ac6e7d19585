// The run-time pieces of crt.h over the C library, with POSIX's per-call
// locale for the "C" number parse.
#include <kxutils96/platform/crt.h>

#include <locale.h>
#include <stdlib.h>
#include <string.h>  // memmem

#include <cmath>

namespace kxu::platform {

double StrToDoubleC(const char* psz, char** ppEnd) noexcept {
  // One "C" locale object for the life of the process; newlocale fails only
  // when out of memory, and then the process's own locale is the fallback.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  char* pEnd = nullptr;
  const double value = cLocale != static_cast<locale_t>(nullptr) ? strtod_l(psz, &pEnd, cLocale)
                                                                 : strtod(psz, &pEnd);
  if (ppEnd != nullptr) *ppEnd = pEnd;
  return value;
}

// memmem is several times faster on long texts than scanning for the first
// byte and comparing.
const char* FindBytes(const char* pText, std::size_t nText, const char* pSub,
                      std::size_t nSub) noexcept {
  return static_cast<const char*>(memmem(pText, nText, pSub, nSub));
}

}  // namespace kxu::platform

namespace {

int FoldAscii(unsigned char ch) noexcept {
  return (ch >= 'A' && ch <= 'Z') ? ch + ('a' - 'A') : ch;
}

}  // namespace

int _stricmp(const char* psz1, const char* psz2) noexcept {
  for (;; ++psz1, ++psz2) {
    const int a = FoldAscii(static_cast<unsigned char>(*psz1));
    const int b = FoldAscii(static_cast<unsigned char>(*psz2));
    if (a != b || a == 0) return a - b;
  }
}

int _isnan(double x) noexcept {
  return std::isnan(x) ? 1 : 0;
}

int _finite(double x) noexcept {
  return std::isfinite(x) ? 1 : 0;
}
