// URL encoding and HTML entities over arbitrary bytes. Input: the first byte
// chooses the set of HTML characters (one bit per table character); the rest
// is the text. Checked on every input: no crash, no access outside a buffer;
// URL encoding then decoding gives the text back up to its first NUL, and
// decoding never lengthens a text; escaping then unescaping with the same set
// gives the text back when it holds no entity text already; the wide variant
// does to a widened text exactly what the UTF-8 one does.
#include <kxutils96/format/transforms/escaping.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_require.h"
#include "support/array_text.h"

namespace {

using namespace kxu::test;

constexpr std::array<char, 6> kSetChars = {'&', '<', '>', '"', ' ', '\n'};
constexpr std::array<std::string_view, 7> kEntityTexts = {"&amp;",  "&lt;", "&gt;",  "&quot;",
                                                          "&nbsp;", "<br>", "<br />"};

bool HoldsEntityText(std::string_view text) {
  for (std::string_view entity : kEntityTexts)
    if (text.find(entity) != std::string_view::npos) return true;
  return false;
}

void CheckUrl(std::string_view text) {
  const std::string_view upToNul = text.substr(0, text.find('\0'));
  CStringUTF8 url = StringOf(text);
  kxu_url_encode(&url, 1);
  kxu_url_encode(&url, 0);
  Require(TextOf(url) == upToNul);

  CStringUTF8 decoded = StringOf(text);
  kxu_url_encode(&decoded, 0);
  Require(static_cast<std::size_t>(decoded.GetLength()) <= text.size());
}

// Escapes or unescapes `text` in both variants and requires the same outcome.
std::string ApplyBoth(const std::string& text, const std::string& set, int bUnescape) {
  CStringUTF8 narrow(text.c_str());
  const int nNarrow = kxu_check_escape_html_charcters(&narrow, set.c_str(), bUnescape);
  CStringW wide(Widened(text).c_str());
  const int nWide = kxutilsCheckEscapeHTMLCharcters(&wide, Widened(set).c_str(), bUnescape);
  Require(nNarrow == nWide);
  Require(std::u16string(wide.GetString()) == Widened(TextOf(narrow)));
  return TextOf(narrow);
}

void CheckHtml(std::uint8_t setBits, std::string_view text) {
  std::string set;
  for (std::size_t i = 0; i < kSetChars.size(); ++i)
    if ((setBits >> i) & 1U) set += kSetChars[i];
  const std::string plain(text.substr(0, text.find('\0')));
  const std::string escaped = ApplyBoth(plain, set, 0);
  const std::string back = ApplyBoth(escaped, set, 1);
  if (!HoldsEntityText(plain)) Require(back == plain);
  ApplyBoth(plain, set, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckUrl(text);
  CheckHtml(data[0], text);
  return 0;
}
