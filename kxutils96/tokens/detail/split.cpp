#include <kxutils96/tokens/detail/split.h>

#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/separator_search.h>

namespace kxu::tokens::detail {

namespace {

// The quote-aware search serves separators other than white space.
bool UsesQuoteAwareSearch(const SplitOptions& options) {
  return (options.dwFlags & kSplitQuoteAwareSearch) != 0 && options.chSep != '\0';
}

}  // namespace

zutl96::SeparatorRules SearchRulesOf(const SplitOptions& options) {
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

int* SearchStateOf(const SplitOptions& options) {
  return UsesQuoteAwareSearch(options) ? nullptr : options.pSearchState;
}

std::string_view SplitSource(const char* lpcszText, const CZQVStringArray* pTokens,
                             std::string& copy) {
  if (lpcszText == nullptr) return {};
  const std::string_view text(lpcszText);
  if (pTokens == nullptr) return text;
  const CStringUTF8* const pStrings = pTokens->GetData();
  for (int i = 0; i < pTokens->GetSize(); ++i) {
    if (kxu::zstrings96::PointsInto(pStrings[i], lpcszText)) {
      copy.assign(text);
      return copy;
    }
  }
  return text;
}

}  // namespace kxu::tokens::detail
