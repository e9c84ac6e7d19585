// The quote test, the keyword search and the clean-up of pasted text.
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/text_search.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/substring_search.h>

using namespace kxu::platform;
using namespace kxu::zutl96::detail;
using namespace kxu::zutl96;

namespace {

// A UTF-8 character that utlConvertTextInPlace replaces, and its ASCII twin.
struct PlainTwin {
  std::string_view utf8;
  char ascii;
};

constexpr std::array<PlainTwin, 7> kPlainTwins = {{
    {"\xE2\x80\x98", '\''},
    {"\xE2\x80\x99", '\''},
    {"\xE2\x80\x9C", '"'},
    {"\xE2\x80\x9D", '"'},
    {"\xC2\xA0", ' '},
    {"\xE2\x80\x93", '-'},
    {"\xE2\x88\x92", '-'},
}};

// The twin whose UTF-8 form starts `rest`, or null.
const PlainTwin* TwinAt(std::string_view rest) {
  for (const PlainTwin& twin : kPlainTwins)
    if (rest.starts_with(twin.utf8)) return &twin;
  return nullptr;
}

}  // namespace

int KESUTIL_is_quote_char(int ch, int /*nReserved*/) {
  return IsQuote(ByteOf(ch)) ? 1 : 0;
}

char* utlFindTextEx(const char* pszKeyword, char* p, int nOptions) {
  if (pszKeyword == nullptr || *pszKeyword == '\0' || p == nullptr) return nullptr;
  const std::string_view keyword(pszKeyword);
  const std::string_view text(p);
  const std::size_t nAt = (nOptions & kFindTextIgnoreCase) != 0
                              ? SubstringSearch<char, AsciiCaselessUnits>(keyword).Find(text)
                              : SubstringSearch<char>(keyword).Find(text);
  return nAt == std::string_view::npos ? nullptr : p + nAt;
}

int utlConvertTextInPlace(char* p, int nLength) {
  if (p == nullptr) return 0;
  // The length is an int: a longer text is refused before anything moves.
  const std::size_t nTotal = std::strlen(p);
  kxu::platform::CheckedInt(nTotal);
  const std::size_t nEnd =
      nLength < 0 ? nTotal : std::min(nTotal, static_cast<std::size_t>(nLength));
  std::size_t nWrite = 0;
  for (std::size_t nRead = 0; nRead < nEnd;) {
    const PlainTwin* pTwin = TwinAt(std::string_view(p + nRead, nEnd - nRead));
    if (pTwin != nullptr) {
      p[nWrite++] = pTwin->ascii;
      nRead += pTwin->utf8.size();
    } else {
      p[nWrite++] = p[nRead++];
    }
  }
  // The unconverted rest, with its NUL, follows the converted part.
  std::memmove(p + nWrite, p + nEnd, nTotal - nEnd + 1);
  return kxu::platform::CheckedInt(nWrite + nTotal - nEnd);
}
