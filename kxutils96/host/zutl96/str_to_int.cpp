// utlStrToInt: a whole text as one decimal int, nothing else accepted.
#include <kxutils96/host/zutl96/number_parsing.h>

#include <charconv>
#include <cstring>

namespace {

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

}  // namespace

int utlStrToInt(const char* psz, int* pnValue) {
  if (psz == nullptr) return 0;
  const char* pFirst = psz;
  const char* pLast = psz + std::strlen(psz);
  while (pFirst < pLast && IsBlank(*pFirst)) ++pFirst;
  while (pLast > pFirst && IsBlank(pLast[-1])) --pLast;
  // from_chars takes a minus sign but not a plus sign.
  if (pFirst < pLast && *pFirst == '+' && pFirst + 1 < pLast && pFirst[1] != '-') ++pFirst;
  int nValue = 0;
  const auto [pEnd, error] = std::from_chars(pFirst, pLast, nValue);
  if (error != std::errc() || pEnd != pLast || pFirst == pLast) return 0;
  if (pnValue != nullptr) *pnValue = nValue;
  return 1;
}
