// The splitting loop of kxutilsGetTokens, shared with the CSV line reader,
// which stores its fields differently, and the storing of tokens into an
// array whose strings are reused. Private to tokens/; split.cpp beside it
// holds what is not a template.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/win32/win_types.h>
#include <kxutils96/strings/zqv_string_array.h>
#include <kxutils96/tokens/token_splitter.h>

namespace kxu::tokens::detail {

// kxutilsGetTokens' arguments other than the text and the array.
struct SplitOptions {
  char chSep = '\0';  // 0: white space
  int* pSearchState = nullptr;
  int nQuote = 0;  // QuoteOption, or a quote character
  DWORD dwFlags = 0;
};

// Whether `options` ask for the quote-aware search, which serves separators
// other than white space.
inline bool UsesQuoteAwareSearch(const SplitOptions& options) {
  return (options.dwFlags & kSplitQuoteAwareSearch) != 0 && options.chSep != '\0';
}

// The search rules that `options` choose: angle brackets count as brackets
// with kQuoteAngleBrackets, or while the thread's angle switch is on.
// (Inline, as the split of each short text makes them.)
inline kxu::zutl96::SeparatorRules SearchRulesOf(const SplitOptions& options) {
  namespace zutl96 = kxu::zutl96;
  // The searches take the separator byte sign-extended, as bytes are passed to them.
  const int nSep = static_cast<signed char>(options.chSep);  // NOLINT(bugprone-signed-char-misuse)
  const bool bAngleBrackets =
      options.nQuote == kQuoteAngleBrackets || zutl96::AngleBracketsSwitchedOn();
  if (UsesQuoteAwareSearch(options)) {
    return zutl96::QuotedSeparatorRules(nSep, zutl96::kQuoteKindDouble, bAngleBrackets);
  }
  if ((options.dwFlags & kSplitExtendedSearch) != 0) {
    return zutl96::EscapedSeparatorRules(nSep, zutl96::kFindBrackets, 0, bAngleBrackets);
  }
  return zutl96::GeneralSeparatorRules(nSep, zutl96::kFindBrackets, bAngleBrackets);
}

// The state the search reads and writes: the caller's, except for the
// quote-aware search, which keeps none.
inline int* SearchStateOf(const SplitOptions& options) {
  return UsesQuoteAwareSearch(options) ? nullptr : options.pSearchState;
}

// Splits `text` (no NUL) as kxutilsGetTokens does and hands each raw token,
// before any trimming or unquoting, to `keep(nIndex, token, bPlain)` in order;
// `bPlain` says that the token holds no quote, bracket or escape byte.
// Returns the number of tokens; more than INT_MAX raise CMemoryException.
template <class Keep>
int SplitRaw(std::string_view text, const SplitOptions& options, Keep keep) {
  const bool bWhiteSpace = options.chSep == '\0';
  const kxu::zutl96::SeparatorRules rules = SearchRulesOf(options);
  kxu::zutl96::SeparatorScanner scanner(text, rules, SearchStateOf(options));

  std::size_t nCount = 0;
  std::size_t nStart = bWhiteSpace ? kxu::zutl96::SkipWhiteIn(text, 0) : 0;
  bool bLastToken = true;
  for (;;) {
    const std::size_t nFound = scanner.FindFrom(nStart);
    if (nFound == std::string_view::npos) break;
    std::size_t nNext = nFound + 1;
    // At white space, trailing separators add no empty last token.
    if (bWhiteSpace) nNext = kxu::zutl96::SkipWhiteIn(text, nNext);
    bLastToken = nNext < text.size() || !bWhiteSpace;
    keep(kxu::platform::CheckedInt(nCount++), text.substr(nStart, nFound - nStart),
         scanner.PassedNothing());
    if (!bLastToken) break;
    nStart = nNext;
  }
  if (bLastToken)
    keep(kxu::platform::CheckedInt(nCount++), text.substr(nStart), scanner.PassedNothing());
  return kxu::platform::CheckedInt(nCount);
}

// The element at `nIndex` of `tokens`, which holds at least nIndex elements,
// added when the array has exactly nIndex; an element already there keeps its
// storage for the next text.
inline CStringUTF8& TokenSlot(CZQVStringArray& tokens, int nIndex) {
  if (nIndex == tokens.GetSize()) tokens.Add("");
  return tokens.GetData()[nIndex];
}

// The text that a split of `lpcszText` into `pTokens` reads: the text itself
// (null reads as empty), or, when it lies inside one of the array's strings
// that the split overwrites, a copy in `copy`.
std::string_view SplitSource(const char* lpcszText, const CZQVStringArray* pTokens,
                             std::string& copy);

}  // namespace kxu::tokens::detail
