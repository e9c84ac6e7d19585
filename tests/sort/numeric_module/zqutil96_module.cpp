// A stand-in for the host's numeric module, for tests: cvt_str_to_double_ex
// accepts a text that strtod reads whole and that starts with a sign, a digit
// or a point, and rejects everything else.
#include <cstdlib>
#include <cstring>

extern "C" int cvt_str_to_double_ex(const char* pszText, double* pValue, int /*nReserved*/) {
  if (pszText == nullptr || pValue == nullptr || std::strchr("+-.0123456789", *pszText) == nullptr)
    return 0;
  char* pEnd = nullptr;
  *pValue = std::strtod(pszText, &pEnd);
  return pEnd != pszText && *pEnd == '\0' ? 1 : 0;
}
