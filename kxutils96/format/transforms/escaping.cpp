#include <kxutils96/format/transforms/escaping.h>

#include <array>
#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/c_source.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/win32/win_user.h>

using namespace kxu::zutl96;

namespace {

constexpr unsigned char kHexDigits[] = "0123456789ABCDEF";
constexpr char kPercent = '%';
// A non-digit byte's value in a percent pair is its lower-case code minus
// this, which gives 10 to 15 for the hex letters.
constexpr int kLetterValueBase = 87;
constexpr unsigned char kByteMask = 0xFF;

constexpr bool IsAsciiDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// Bytes of 0x80 and above are parts of UTF-8 characters, never letters, even
// where the ANSI code page would call them letters.
bool IsAsciiLetter(unsigned char c) {
  return c < 0x80 && IsCharAlphaA(static_cast<char>(c)) != FALSE;
}

constexpr unsigned char AsciiLower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c;
}

int PairValue(unsigned char c) {
  return IsAsciiDigit(c) ? c - '0' : AsciiLower(c) - kLetterValueBase;
}

// The whole text of `str`, embedded NULs included.
std::string_view TextOf(const CStringUTF8& str) {
  return std::string_view(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

std::string UrlEncoded(std::string_view text) {
  std::string out;
  out.reserve(3 * (text.size() + 1));
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (IsAsciiDigit(c) || IsAsciiLetter(c)) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += kPercent;
      out += static_cast<char>(kHexDigits[c >> 4]);
      out += static_cast<char>(kHexDigits[c & 0x0F]);
    }
  }
  return out;
}

std::string UrlDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c != kPercent) {
      out += c;
    } else if (i + 2 < text.size()) {
      const int high = (PairValue(static_cast<unsigned char>(text[i + 1])) * 16) & kByteMask;
      const int low = PairValue(static_cast<unsigned char>(text[i + 2])) & kByteMask;
      out += static_cast<char>(high | low);
      i += 2;
    } else if (i + 1 < text.size()) {
      // A % with one byte after it is dropped, and that last byte kept as it is.
      out += text[++i];
    }
    // A % at the end is dropped.
  }
  return out.substr(0, out.find('\0'));
}

// One entity of the HTML table, in the character type of the text.
template <class Char>
struct Entity {
  Char character;
  const Char* text;
};

// The table, in this order: & is escaped first and unescaped last, so the
// ampersands of the other entities are never escaped again; of the two line
// break forms, escaping writes <br>, and unescaping reads both.
constexpr std::array<Entity<char>, 7> kEntities = {{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'"', "&quot;"},
    {' ', "&nbsp;"},
    {'\n', "<br>"},
    {'\n', "<br />"},
}};

constexpr std::array<Entity<WCHAR>, 7> kWideEntities = {{
    {u'&', u"&amp;"},
    {u'<', u"&lt;"},
    {u'>', u"&gt;"},
    {u'"', u"&quot;"},
    {u' ', u"&nbsp;"},
    {u'\n', u"<br>"},
    {u'\n', u"<br />"},
}};

// Escapes or unescapes `text` (a CStringUTF8 or CStringW) for the
// characters of `lpcszChars`; true when something was replaced.
template <class Text, class Char, std::size_t N>
bool ReplaceEntities(Text& text, const Char* lpcszChars,
                     const std::array<Entity<Char>, N>& entities, bool bUnescape) {
  // A copy of the set, which may be part of the text that the replacements rewrite.
  const std::basic_string<Char> set(lpcszChars);
  bool bReplaced = false;
  for (std::size_t step = 0; step < N; ++step) {
    const Entity<Char>& entity = entities[bUnescape ? N - 1 - step : step];
    if (set.find(entity.character) == std::basic_string<Char>::npos) continue;
    const Char character[] = {entity.character, Char{}};
    const int nCount =
        bUnescape ? text.Replace(entity.text, character) : text.Replace(character, entity.text);
    bReplaced = bReplaced || nCount > 0;
  }
  return bReplaced;
}

bool IsIdentifierChar(unsigned char c) {
  return IsAsciiDigit(c) || IsAsciiLetter(c) || c == '_';
}

}  // namespace

void kxu_url_encode(CStringUTF8* pstrURL, int bEncode) {
  if (pstrURL == nullptr) return;
  const std::string_view text = TextOf(*pstrURL);
  const std::string result = bEncode != 0 ? UrlEncoded(text) : UrlDecoded(text);
  *pstrURL = CStringUTF8(result.data(), kxu::platform::CheckedInt(result.size()));
}

int kxu_check_escape_html_charcters(CStringUTF8* pstrText, const char* lpcszChars, int bUnescape) {
  if (pstrText == nullptr || lpcszChars == nullptr) return 0;
  return ReplaceEntities(*pstrText, lpcszChars, kEntities, bUnescape != 0) ? 1 : 0;
}

int kxutilsCheckEscapeHTMLCharcters(CStringW* pstrText, const WCHAR* lpcszChars, int bUnescape) {
  if (pstrText == nullptr || lpcszChars == nullptr) return 0;
  return ReplaceEntities(*pstrText, lpcszChars, kWideEntities, bUnescape != 0) ? 1 : 0;
}

void kxu_make_C_string_from_ascii(const char* lpcszSource, CStringUTF8* pstrResult) {
  if (pstrResult == nullptr) return;
  // Escaped apart and stored at the end: the source may be the result's own text.
  CStringUTF8 strEscaped;
  char escape[kCEscapeBufferSize];
  for (const char* p = lpcszSource; p != nullptr && *p != '\0'; ++p) {
    if (utlCharToCEscape(*p, escape, 0) != 0)
      strEscaped += escape;
    else
      strEscaped += *p;
  }
  *pstrResult = strEscaped;
}

void kxuMakeValidCName(CStringUTF8* pstrText, char chPrefix) {
  if (pstrText == nullptr || pstrText->IsEmpty()) return;
  std::string name;
  // Every byte counts: an embedded NUL is deleted like any other.
  for (const char c : TextOf(*pstrText))
    if (IsIdentifierChar(static_cast<unsigned char>(c))) name += c;
  const bool bStartsWithDigit = !name.empty() && IsAsciiDigit(static_cast<unsigned char>(name[0]));
  const unsigned char prefix = static_cast<unsigned char>(chPrefix);
  if (prefix == '_' || IsAsciiLetter(prefix)) {
    if (bStartsWithDigit) name.insert(name.begin(), chPrefix);
  } else {
    name.erase(0, name.find_first_not_of("0123456789"));
  }
  *pstrText = CStringUTF8(name.data(), kxu::platform::CheckedInt(name.size()));
}
