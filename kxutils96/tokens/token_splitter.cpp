#include <kxutils96/tokens/token_splitter.h>

#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/tokens/detail/split.h>

using namespace kxu::platform;
using namespace kxu::tokens::detail;
using namespace kxu::tokens;
using namespace kxu::zstrings96;
using namespace kxu::zutl96;

namespace {

constexpr char kWhiteSpace = '\0';
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kComma = ',';
constexpr char kDoubleQuote = '"';

std::string_view WithoutLeadingWhite(std::string_view token) {
  return token.substr(SkipWhiteIn(token, 0));
}

// A token split at white space starts after it, so only its quotes are left
// to remove.
std::string_view FinishWhiteSpaceToken(std::string_view token, int nQuote) {
  // An empty token's first byte is its terminator.
  const char chFirst = token.empty() ? '\0' : token.front();
  if (nQuote == kQuoteUnquoteAll || static_cast<signed char>(chFirst) == nQuote) {
    return kxu::zutl96::WithoutEnclosingPair(token, kUnquoteQuotesAndBrackets);
  }
  return token;
}

std::string_view WithoutTrailingCarriageReturn(std::string_view token) {
  if (!token.empty() && token.back() == kCarriageReturn) token.remove_suffix(1);
  return token;
}

// A comma-separated token with double quotes: a field that starts with " after
// leading white space loses its CSV quoting, written straight into `slot`.
void StoreCsvToken(CStringUTF8& slot, std::string_view token, DWORD dwFlags) {
  const std::string_view start = WithoutLeadingWhite(token);
  if (start.empty() || start.front() != kDoubleQuote) {
    AssignBytes(slot, start);
    return;
  }
  char* pOut = slot.GetBuffer(CheckedInt(start.size()));
  const std::size_t nLength =
      kxu::zutl96::CsvUnquoteInto(start, pOut, dwFlags & kSplitCsvUnquoteMask, nullptr);
  slot.ReleaseBuffer(CheckedInt(nLength));
}

// Stores the token as the quote option and the separator finish it.
void StoreFinishedToken(CStringUTF8& slot, std::string_view token, const SplitOptions& options) {
  if (options.chSep == kWhiteSpace) {
    AssignBytes(slot, FinishWhiteSpaceToken(token, options.nQuote));
  } else if (options.chSep == kLineFeed) {
    AssignBytes(slot, WithoutTrailingCarriageReturn(token));
  } else if (options.nQuote == kQuoteSkipLeadingWhite) {
    AssignBytes(slot, WithoutLeadingWhite(token));
  } else if (options.nQuote == kQuoteDouble && options.chSep == kComma) {
    StoreCsvToken(slot, token, options.dwFlags);
  } else {
    AssignBytes(slot, token);
  }
}

}  // namespace

int kxutilsGetTokens(const char* lpcszText, CZQVStringArray* pTokens, char chSep, int* pSearchState,
                     int nQuote, DWORD dwFlags) {
  if (lpcszText != nullptr && *lpcszText == '\0') {
    if (pTokens != nullptr) pTokens->RemoveAll();
    return 0;
  }
  std::string copy;
  const std::string_view text = SplitSource(lpcszText, pTokens, copy);
  const SplitOptions options{chSep, pSearchState, nQuote, dwFlags};
  if (pTokens == nullptr) return SplitRaw(text, options, [](int, std::string_view, bool) {});
  const int nCount = SplitRaw(text, options, [&](int nIndex, std::string_view token, bool) {
    StoreFinishedToken(TokenSlot(*pTokens, nIndex), token, options);
  });
  pTokens->SetSize(nCount);
  return nCount;
}
