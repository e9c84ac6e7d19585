// A plain byte-at-a-time separator search by the rules that
// <kxutils96/host/zutl96/separator_search.h> describes: the reference that the
// library's block-wise search is held to.
#pragma once

#include <cstddef>
#include <string_view>

#include <kxutils96/host/zutl96/separator_search.h>

namespace kxu::test {

// FindSeparatorIn's result for `text` under `rules`, one byte after another.
inline std::size_t ReferenceFindSeparator(std::string_view text,
                                          const kxu::zutl96::SeparatorRules& rules, int* pState) {
  auto isWhite = [](unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  auto isWordByte = [](unsigned char c) {
    return c >= 0x80 || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
  };
  auto isQuote = [&](unsigned char c) {
    return (c == '"' && rules.doubleQuotes) || (c == '\'' && rules.singleQuotes);
  };
  const std::string_view openers = rules.angleBrackets ? "([{<" : "([{";
  const std::string_view closers = rules.angleBrackets ? ")]}>" : ")]}";
  const bool bStartsQuoted = pState != nullptr && *pState >= 0 && *pState < 256 && isQuote(*pState);
  unsigned char quote = bStartsQuoted ? static_cast<unsigned char>(*pState) : 0;
  std::size_t nDepth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (quote != 0) {
      if (c == rules.escape && i + 1 < text.size()) {
        ++i;
      } else if (c == quote) {
        quote = 0;
      }
    } else if (nDepth == 0 && (rules.separator == 0 ? isWhite(c) : c == rules.separator)) {
      if (pState != nullptr) *pState = 0;
      return i;
    } else if (isQuote(c) && (i == 0 || !isWordByte(static_cast<unsigned char>(text[i - 1])))) {
      quote = c;
    } else if (rules.brackets && openers.find(static_cast<char>(c)) != std::string_view::npos) {
      ++nDepth;
    } else if (nDepth > 0 && closers.find(static_cast<char>(c)) != std::string_view::npos) {
      --nDepth;
    }
  }
  if (pState != nullptr) *pState = quote;
  return std::string_view::npos;
}

}  // namespace kxu::test
