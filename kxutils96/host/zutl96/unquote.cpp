// Unquoting in place: utlUnquote (an enclosing quote or bracket pair) and
// utlCsvUnquote (CSV quoting with doubled quotes).
#include <cstring>

#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/separator_search.h>

using kxu::zutl96::kCsvBackslashEscapes;
using kxu::zutl96::kUnquoteQuotesAndBrackets;

namespace {

using kxu::zutl96::detail::ByteOf;
using kxu::zutl96::detail::CloserOf;
using kxu::zutl96::detail::IsQuote;

constexpr char kDoubleQuote = '"';
constexpr char kBackslash = '\\';

// Whether `first` and `last` form a pair that utlUnquote removes. Angle
// brackets never do: they are brackets only for the searches.
bool IsEnclosingPair(unsigned char first, unsigned char last, bool bBrackets) {
  if (IsQuote(first)) return first == last;
  return bBrackets && CloserOf(first, false) == last;
}

void Report(int* pnResult, bool bDone) {
  if (pnResult != nullptr) *pnResult = bDone ? 1 : 0;
}

}  // namespace

char* utlUnquote(char* p, int* pnPairs) {
  if (p == nullptr) return nullptr;
  const bool bBrackets = pnPairs != nullptr && (*pnPairs & kUnquoteQuotesAndBrackets) != 0;
  const std::size_t nLength = std::strlen(p);
  const bool bRemove =
      nLength >= 2 && IsEnclosingPair(ByteOf(p[0]), ByteOf(p[nLength - 1]), bBrackets);
  Report(pnPairs, bRemove);
  if (!bRemove) return p;
  p[nLength - 1] = '\0';
  return p + 1;
}

char* utlCsvUnquote(char* p, int* pnClosed, DWORD dwFlags) {
  if (p == nullptr || *p != kDoubleQuote) {
    Report(pnClosed, false);
    return p;
  }
  const bool bEscapes = (dwFlags & kCsvBackslashEscapes) != 0;
  char* pOut = p;
  const char* pIn = p + 1;
  bool bClosed = false;
  while (*pIn != '\0' && !bClosed) {
    if (bEscapes && *pIn == kBackslash && pIn[1] != '\0') {
      *pOut++ = pIn[1];
      pIn += 2;
    } else if (*pIn == kDoubleQuote && pIn[1] == kDoubleQuote) {
      *pOut++ = kDoubleQuote;
      pIn += 2;
    } else if (*pIn == kDoubleQuote) {
      bClosed = true;
      ++pIn;
    } else {
      *pOut++ = *pIn++;
    }
  }
  // The bytes after the closing quote are kept as they are, NUL included.
  std::memmove(pOut, pIn, std::strlen(pIn) + 1);
  Report(pnClosed, bClosed);
  return p;
}
