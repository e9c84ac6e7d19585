// Skipping white space: utlSkipWhite, utlSkipWhiteAfterSep and SkipWhiteIn.
#include <cstddef>
#include <string_view>

#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/separator_search.h>

using namespace kxu::zutl96::detail;

char* utlSkipWhite(char* p) {
  if (p == nullptr) return nullptr;
  while (IsWhite(ByteOf(*p))) ++p;
  return p;
}

char* utlSkipWhiteAfterSep(char* p) {
  char* pNext = utlSkipWhite(p);
  return (pNext == nullptr || *pNext == '\0') ? nullptr : pNext;
}

namespace kxu::zutl96 {

std::size_t SkipWhiteIn(std::string_view text, std::size_t nFrom) {
  while (nFrom < text.size() && IsWhite(ByteOf(text[nFrom]))) ++nFrom;
  return nFrom;
}

}  // namespace kxu::zutl96
