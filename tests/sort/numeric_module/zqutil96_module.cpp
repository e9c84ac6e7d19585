// A stand-in for the host's numeric module, for tests: cvt_str_to_double_ex
// accepts a plain decimal or scientific number (optional sign, digits with an
// optional point, optional exponent) filling the whole text, and rejects
// everything else.
#include <cctype>
#include <cstdlib>

namespace {

const char* SkipDigits(const char* p, int& digits) {
  while (std::isdigit(static_cast<unsigned char>(*p)) != 0) {
    ++p;
    ++digits;
  }
  return p;
}

bool IsPlainNumber(const char* p) {
  if (*p == '+' || *p == '-') ++p;
  int digits = 0;
  p = SkipDigits(p, digits);
  if (*p == '.') p = SkipDigits(p + 1, digits);
  if (digits == 0) return false;
  if (*p == 'e' || *p == 'E') {
    ++p;
    if (*p == '+' || *p == '-') ++p;
    int exponentDigits = 0;
    p = SkipDigits(p, exponentDigits);
    if (exponentDigits == 0) return false;
  }
  return *p == '\0';
}

}  // namespace

extern "C" int cvt_str_to_double_ex(const char* pszText, double* pValue, int /*nReserved*/) {
  if (pszText == nullptr || pValue == nullptr || !IsPlainNumber(pszText)) return 0;
  *pValue = std::strtod(pszText, nullptr);
  return 1;
}
