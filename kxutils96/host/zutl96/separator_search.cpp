// The separator search behind utlFindSeparator, utlFindSeparatorEx and
// utlFindSeparatorQuoted, and the angle-bracket switch it reads.
#include <cstddef>

#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/separator_search.h>

using kxu::zutl96::kFindBrackets;
using kxu::zutl96::kQuoteKindDouble;
using kxu::zutl96::kQuoteKindSingle;
using kxu::zutl96::kSearchOutsideQuotes;

namespace {

using kxu::zutl96::detail::ByteOf;
using kxu::zutl96::detail::CloserOf;
using kxu::zutl96::detail::IsCloser;
using kxu::zutl96::detail::IsWhite;
using kxu::zutl96::detail::IsWordByte;

// One per thread, so that a call that switches angle brackets on never
// changes how a call on another thread splits.
thread_local bool t_bAngleBrackets = false;

// The backslash, the escape byte of the extended search when none is given.
constexpr unsigned char kDefaultEscape = '\\';

// What one search honours.
struct SearchRules {
  unsigned char separator = 0;  // 0: any white-space byte
  bool bDoubleQuotes = true;
  bool bSingleQuotes = true;
  bool bBrackets = false;
  bool bAngleBrackets = false;
  unsigned char escape = 0;  // inside quotes; 0: none
};

bool IsSeparator(unsigned char c, unsigned char separator) {
  return separator == 0 ? IsWhite(c) : c == separator;
}

bool IsHonouredQuote(unsigned char c, const SearchRules& rules) {
  return (c == '"' && rules.bDoubleQuotes) || (c == '\'' && rules.bSingleQuotes);
}

// A quote opens a stretch at the start of the search or after a non-word byte.
bool OpensQuote(const char* q, const char* pStart, const SearchRules& rules) {
  return IsHonouredQuote(ByteOf(*q), rules) && (q == pStart || !IsWordByte(ByteOf(q[-1])));
}

// The quote byte a search starts inside, from the caller's state.
unsigned char StartQuote(const int* pState, const SearchRules& rules) {
  if (pState == nullptr) return 0;
  const unsigned char quote = ByteOf(*pState);
  return (*pState == quote && IsHonouredQuote(quote, rules)) ? quote : 0;
}

char* FindSeparator(char* p, const SearchRules& rules, int* pState) {
  if (p == nullptr) return nullptr;
  unsigned char openQuote = StartQuote(pState, rules);
  std::size_t nDepth = 0;
  for (char* q = p; *q != '\0'; ++q) {
    const unsigned char c = ByteOf(*q);
    if (openQuote != 0) {
      if (c == rules.escape && q[1] != '\0') {
        ++q;
      } else if (c == openQuote) {
        openQuote = 0;
      }
    } else if (nDepth == 0 && IsSeparator(c, rules.separator)) {
      if (pState != nullptr) *pState = kSearchOutsideQuotes;
      return q;
    } else if (OpensQuote(q, p, rules)) {
      openQuote = c;
    } else if (rules.bBrackets && CloserOf(c, rules.bAngleBrackets) != 0) {
      ++nDepth;
    } else if (nDepth > 0 && IsCloser(c, rules.bAngleBrackets)) {
      --nDepth;
    }
  }
  if (pState != nullptr) *pState = openQuote;
  return nullptr;
}

SearchRules GeneralRules(int chSep, int nMode) {
  SearchRules rules;
  rules.separator = ByteOf(chSep);
  rules.bBrackets = (nMode & kFindBrackets) != 0;
  rules.bAngleBrackets = t_bAngleBrackets;
  return rules;
}

}  // namespace

int set_parenth_use_angle_brackets(int nOn) {
  const int nPrevious = t_bAngleBrackets ? 1 : 0;
  t_bAngleBrackets = nOn != 0;
  return nPrevious;
}

char* utlFindSeparator(char* p, int chSep, int nMode, int* pState) {
  return FindSeparator(p, GeneralRules(chSep, nMode), pState);
}

char* utlFindSeparatorEx(char* p, int chSep, int nMode, int* pState, int chEscape,
                         int /*nReserved*/) {
  SearchRules rules = GeneralRules(chSep, nMode);
  rules.escape = chEscape == 0 ? kDefaultEscape : ByteOf(chEscape);
  return FindSeparator(p, rules, pState);
}

char* utlFindSeparatorQuoted(char* p, int chSep, int nQuoteKinds) {
  SearchRules rules;
  rules.separator = ByteOf(chSep);
  rules.bDoubleQuotes = (nQuoteKinds & kQuoteKindDouble) != 0;
  rules.bSingleQuotes = (nQuoteKinds & kQuoteKindSingle) != 0;
  return FindSeparator(p, rules, nullptr);
}
