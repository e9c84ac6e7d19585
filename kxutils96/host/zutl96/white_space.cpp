// Skipping white space: utlSkipWhite and utlSkipWhiteAfterSep.
#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/separator_search.h>

using kxu::zutl96::detail::ByteOf;
using kxu::zutl96::detail::IsWhite;

char* utlSkipWhite(char* p) {
  if (p == nullptr) return nullptr;
  while (IsWhite(ByteOf(*p))) ++p;
  return p;
}

char* utlSkipWhiteAfterSep(char* p) {
  char* pNext = utlSkipWhite(p);
  return (pNext == nullptr || *pNext == '\0') ? nullptr : pNext;
}
