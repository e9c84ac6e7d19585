// Unquoting: utlUnquote (an enclosing quote or bracket pair) and
// utlCsvUnquote (CSV quoting with doubled quotes), in place on C strings and,
// as WithoutEnclosingPair and CsvUnquoteInto, on texts of known length.
#include <cstring>
#include <string_view>

#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/separator_search.h>

using namespace kxu::zutl96::detail;
using namespace kxu::zutl96;

namespace {

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

namespace kxu::zutl96 {

std::string_view WithoutEnclosingPair(std::string_view token, int nPairs) {
  const bool bBrackets = (nPairs & kUnquoteQuotesAndBrackets) != 0;
  if (token.size() < 2 || !IsEnclosingPair(ByteOf(token.front()), ByteOf(token.back()), bBrackets))
    return token;
  return token.substr(1, token.size() - 2);
}

std::size_t CsvUnquoteInto(std::string_view field, char* pOut, DWORD dwFlags, bool* pbClosed) {
  const bool bEscapes = (dwFlags & kCsvBackslashEscapes) != 0;
  const char* pIn = field.data() + 1;
  const char* const pEnd = field.data() + field.size();
  char* const pStart = pOut;
  bool bClosed = false;
  // pOut never passes pIn, so `field` may be the output itself.
  while (pIn < pEnd && !bClosed) {
    const bool bNextToo = pIn + 1 < pEnd;
    if (bEscapes && *pIn == kBackslash && bNextToo) {
      *pOut++ = pIn[1];
      pIn += 2;
    } else if (*pIn == kDoubleQuote && bNextToo && pIn[1] == kDoubleQuote) {
      *pOut++ = kDoubleQuote;
      pIn += 2;
    } else if (*pIn == kDoubleQuote) {
      bClosed = true;
      ++pIn;
    } else {
      *pOut++ = *pIn++;
    }
  }
  // The bytes after the closing quote are kept as they are.
  const auto nRest = static_cast<std::size_t>(pEnd - pIn);
  std::memmove(pOut, pIn, nRest);
  if (pbClosed != nullptr) *pbClosed = bClosed;
  return static_cast<std::size_t>(pOut - pStart) + nRest;
}

}  // namespace kxu::zutl96

char* utlUnquote(char* p, int* pnPairs) {
  if (p == nullptr) return nullptr;
  const std::string_view token(p);
  const std::string_view inner =
      kxu::zutl96::WithoutEnclosingPair(token, pnPairs == nullptr ? 0 : *pnPairs);
  const bool bRemoved = inner.size() != token.size();
  Report(pnPairs, bRemoved);
  if (!bRemoved) return p;
  p[token.size() - 1] = '\0';
  return p + 1;
}

char* utlCsvUnquote(char* p, int* pnClosed, DWORD dwFlags) {
  if (p == nullptr || *p != kDoubleQuote) {
    Report(pnClosed, false);
    return p;
  }
  bool bClosed = false;
  p[kxu::zutl96::CsvUnquoteInto(std::string_view(p), p, dwFlags, &bClosed)] = '\0';
  Report(pnClosed, bClosed);
  return p;
}
