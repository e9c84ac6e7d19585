#include <kxutils96/tokens/token_splitter.h>

#include <cstring>

#include <kxutils96/host/zutl96/separator_search.h>

using kxu::zutl96::kFindBrackets;
using kxu::zutl96::kQuoteKindDouble;
using kxu::zutl96::kUnquoteQuotesAndBrackets;

namespace {

using kxu::tokens::kQuoteAngleBrackets;
using kxu::tokens::kQuoteDouble;
using kxu::tokens::kQuoteSkipLeadingWhite;
using kxu::tokens::kQuoteUnquoteAll;
using kxu::tokens::kSplitCsvUnquoteMask;
using kxu::tokens::kSplitExtendedSearch;
using kxu::tokens::kSplitQuoteAwareSearch;

constexpr char kWhiteSpace = '\0';
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kComma = ',';
constexpr char kDoubleQuote = '"';

// Switches angle brackets on for the searches of one call and puts the
// previous setting back, early through Restore() or, on an exception, when
// it goes out of scope.
class AngleBracketScope {
 public:
  explicit AngleBracketScope(bool bOn)
      : m_bActive(bOn), m_nPrevious(bOn ? set_parenth_use_angle_brackets(1) : 0) {}
  AngleBracketScope(const AngleBracketScope&) = delete;
  AngleBracketScope& operator=(const AngleBracketScope&) = delete;
  ~AngleBracketScope() { Restore(); }

  void Restore() {
    if (m_bActive) set_parenth_use_angle_brackets(m_nPrevious);
    m_bActive = false;
  }

 private:
  bool m_bActive;
  int m_nPrevious;
};

char* FindNextSeparator(char* p, char chSep, int* pSearchState, DWORD dwFlags) {
  // The searches take the separator byte sign-extended, as bytes are passed to them.
  const int nSep = static_cast<signed char>(chSep);  // NOLINT(bugprone-signed-char-misuse)
  if ((dwFlags & kSplitQuoteAwareSearch) != 0 && chSep != kWhiteSpace) {
    return utlFindSeparatorQuoted(p, nSep, kQuoteKindDouble);
  }
  if ((dwFlags & kSplitExtendedSearch) != 0) {
    return utlFindSeparatorEx(p, nSep, kFindBrackets, pSearchState, 0, 0);
  }
  return utlFindSeparator(p, nSep, kFindBrackets, pSearchState);
}

char* FinishWhiteSpaceToken(char* pToken, int nQuote) {
  char* pStart = (nQuote == kQuoteAngleBrackets || nQuote > 0) ? utlSkipWhite(pToken) : pToken;
  if (nQuote == kQuoteUnquoteAll || static_cast<signed char>(*pStart) == nQuote) {
    int nPairs = kUnquoteQuotesAndBrackets;
    return utlUnquote(pStart, &nPairs);
  }
  return pStart;
}

char* DropTrailingCarriageReturn(char* pToken) {
  const std::size_t nLength = std::strlen(pToken);
  if (nLength > 0 && pToken[nLength - 1] == kCarriageReturn) pToken[nLength - 1] = '\0';
  return pToken;
}

char* CsvUnquoteToken(char* pToken, DWORD dwFlags) {
  char* pStart = utlSkipWhite(pToken);
  if (pStart == nullptr || *pStart != kDoubleQuote) return pStart;
  int nClosed = 1;
  return utlCsvUnquote(pStart, &nClosed, dwFlags & kSplitCsvUnquoteMask);
}

// The text stored for the token at `pToken`, a position in the working buffer
// whose bytes it may shorten in place.
char* FinishToken(char* pToken, char chSep, int nQuote, DWORD dwFlags) {
  if (chSep == kWhiteSpace) return FinishWhiteSpaceToken(pToken, nQuote);
  if (chSep == kLineFeed) return DropTrailingCarriageReturn(pToken);
  if (nQuote == kQuoteSkipLeadingWhite) return utlSkipWhite(pToken);
  if (nQuote == kQuoteDouble && chSep == kComma) return CsvUnquoteToken(pToken, dwFlags);
  return pToken;
}

// Puts `pszText` at `nIndex`, reusing the storage of an element already there
// (a caller that splits line after line into one array then allocates little).
void StoreToken(CZQVStringArray& tokens, int nIndex, const char* pszText) {
  if (nIndex < tokens.GetSize()) {
    tokens.ElementAt(nIndex) = pszText;
  } else {
    tokens.Add(pszText);
  }
}

}  // namespace

int kxutilsGetTokens(const char* lpcszText, CZQVStringArray* pTokens, char chSep, int* pSearchState,
                     int nQuote, DWORD dwFlags) {
  if (lpcszText != nullptr && *lpcszText == '\0') {
    if (pTokens != nullptr) pTokens->RemoveAll();
    return 0;
  }

  CStringUTF8 strWork(lpcszText);
  char* p = strWork.GetBuffer(0);
  if (chSep == kWhiteSpace) p = utlSkipWhite(p);

  int nCount = 0;
  auto keep = [&](char* pToken) {
    char* pFinished = FinishToken(pToken, chSep, nQuote, dwFlags);
    if (pTokens != nullptr) StoreToken(*pTokens, nCount, pFinished);
    ++nCount;
  };

  AngleBracketScope angleBrackets(nQuote == kQuoteAngleBrackets);
  for (char* q = FindNextSeparator(p, chSep, pSearchState, dwFlags); q != nullptr;
       q = FindNextSeparator(p, chSep, pSearchState, dwFlags)) {
    *q = '\0';
    char* pRest = chSep == kWhiteSpace ? utlSkipWhiteAfterSep(q + 1) : q + 1;
    keep(p);
    p = pRest;
  }
  angleBrackets.Restore();

  if (p != nullptr) keep(p);
  if (pTokens != nullptr) pTokens->SetSize(nCount);
  return nCount;
}
