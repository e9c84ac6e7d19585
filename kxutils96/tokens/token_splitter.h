// The token splitter: one text cut into tokens at a separator byte or at white
// space, with quoted and bracketed stretches kept whole, each token trimmed or
// unquoted by a quote option. The key-value, CSV and palette readers split
// with it. Which bytes are white space, quotes and brackets, and how the
// separator search and the unquoting treat them, is described in
// <kxutils96/host/zutl96/zutl96.h>.
#pragma once

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/win32/win_types.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace kxu::tokens {

// The quote option, kxutilsGetTokens' `nQuote`. Any other value is a quote
// character: with white-space separation a token that starts with it is
// unquoted.
enum QuoteOption : int {
  // Angle brackets count as brackets in the search; with white-space
  // separation tokens also lose leading white space.
  kQuoteAngleBrackets = -2,
  // Every token loses its enclosing quote or bracket pair (white space only).
  kQuoteUnquoteAll = -1,
  // Tokens lose leading white space.
  kQuoteSkipLeadingWhite = 0x20,
  // Double quotes: split at ',', a field that starts with " loses its CSV quoting.
  kQuoteDouble = 0x22,
};

// kxutilsGetTokens' `dwFlags`.
enum SplitFlags : DWORD {
  // With a separator other than white space: a search that honours double
  // quotes only (single quotes are ordinary bytes) and brackets, as the
  // others do.
  kSplitQuoteAwareSearch = 1,
  // A search in which a backslash inside quotes escapes the next byte.
  kSplitExtendedSearch = 2,
  // The bits handed to the CSV unquoting (kCsvBackslashEscapes, ...).
  kSplitCsvUnquoteMask = 0xFF000000,
};

}  // namespace kxu::tokens

extern "C" {

// Reads the NUL-terminated UTF-8 `lpcszText` (never changed; it may be one
// of the strings of `pTokens`) and splits it at every `chSep` byte (0: any
// run of white space) that stands outside quotes and brackets. `pTokens`, owned by the caller,
// ends up holding exactly the tokens in order (emptied for an empty text); a
// null `pTokens` only counts them. The tokens overwrite the array's elements
// in place, reusing their storage, and the array is cut to the token count at
// the end, so should an allocation fail part-way, the array holds the tokens
// found so far followed by older elements. `pSearchState` (null, or the caller's int)
// is handed to the separator search untouched by the splitter: it says which
// quote the text starts inside and receives the quote still open at its end.
// `nQuote` (kxu::tokens::QuoteOption, or a quote character) and `dwFlags`
// (kxu::tokens::SplitFlags) choose the search and how each token is finished.
// Returns the number of tokens, 0 for an empty text; never negative. A token
// or a count that an int cannot hold (more than INT_MAX) raises the framework's
// CMemoryException, as a string asked to hold it would. Bad input
// is split all the same: an unbalanced quote or bracket keeps the rest of
// the text in one token; a null text counts as one empty token.
// Example: "a,b," split at ',' with a null state, quote option 0 and flags 0
// gives "a", "b", "" and returns 3.
KXU_API int kxutilsGetTokens(const char* lpcszText, CZQVStringArray* pTokens, char chSep,
                             int* pSearchState, int nQuote, DWORD dwFlags);

}  // extern "C"
