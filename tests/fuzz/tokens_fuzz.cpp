// Splits arbitrary bytes with kxutilsGetTokens under every separator kind,
// quote option and flag, and with kxutilsTokenizeOneCSVLine. Input: the first
// two bytes choose the separator, quote option, flags and search state; the
// rest, up to its first NUL, is the text. Checked on every input: no crash,
// no read past the text; the count equals the array's size and the count
// without an array; the angle switch is left as it was; where no trimming or
// unquoting applies, the tokens joined with the separator give the text back;
// the block-wise separator search finds what a byte-at-a-time search finds,
// and the CSV fields are what that search cuts, each unquoted.
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/detail/csv_field.h>
#include <kxutils96/tokens/token_splitter.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_require.h"

#include "support/array_text.h"
#include "support/reference_separator_search.h"

using namespace kxu::zutl96;

namespace {

using namespace kxu::tokens;

constexpr char kSeparators[] = {',', '\0', '\n', ';', '"', '(', static_cast<char>(0xE9), ' '};
constexpr int kQuoteOptions[] = {
    kQuoteAngleBrackets, kQuoteUnquoteAll, 0, kQuoteSkipLeadingWhite, kQuoteDouble, '\'', '(', -3};
constexpr DWORD kFlagChoices[] = {0, kSplitQuoteAwareSearch, kSplitExtendedSearch,
                                  kSplitQuoteAwareSearch | kSplitExtendedSearch};
constexpr int kStates[] = {kSearchOutsideQuotes, '"', '\'', 0x1234};

std::string Joined(const CZQVStringArray& array, char chSep) {
  std::string joined;
  for (int i = 0; i < array.GetSize(); ++i) {
    if (i > 0) joined += chSep;
    joined.append(array[i].GetString(), static_cast<std::size_t>(array[i].GetLength()));
  }
  return joined;
}

// True when the splitter stores its raw tokens for these options.
bool KeepsRawTokens(char chSep, int nQuote) {
  if (chSep == '\0' || chSep == '\n') return false;
  if (nQuote == kQuoteSkipLeadingWhite) return false;
  return !(nQuote == kQuoteDouble && chSep == ',');
}

void CheckGetTokens(const std::string& text, uint8_t options, uint8_t extra) {
  const char chSep = kSeparators[options & 7];
  const int nQuote = kQuoteOptions[(options >> 3) & 7];
  const DWORD dwFlags = kFlagChoices[(options >> 6) & 3] | (extra & 1 ? kCsvBackslashEscapes : 0u);
  const int nInitialState = kStates[(extra >> 1) & 3];
  const bool bUseState = (extra & 8) != 0;

  const int nAngleBefore = set_parenth_use_angle_brackets(extra & 16 ? 1 : 0);
  CZQVStringArray tokens;
  int nState = nInitialState;
  const int nCount = kxutilsGetTokens(text.c_str(), &tokens, chSep, bUseState ? &nState : nullptr,
                                      nQuote, dwFlags);
  Require(nCount == tokens.GetSize());
  Require(nCount >= 0);
  nState = nInitialState;
  Require(kxutilsGetTokens(text.c_str(), nullptr, chSep, bUseState ? &nState : nullptr, nQuote,
                           dwFlags) == nCount);
  Require(set_parenth_use_angle_brackets(nAngleBefore) == (extra & 16 ? 1 : 0));
  if (text.empty()) Require(nCount == 0);
  if (!text.empty() && KeepsRawTokens(chSep, nQuote)) Require(Joined(tokens, chSep) == text);
}

void CheckSearch(const std::string& text, uint8_t options, uint8_t extra) {
  const SeparatorRules rules{static_cast<unsigned char>(kSeparators[options & 7]),
                             (extra & 32) == 0,
                             (extra & 64) == 0,
                             (options & 8) != 0,
                             (options & 16) != 0,
                             static_cast<unsigned char>(options & 32 ? '\\' : 0)};
  int nState = kStates[(extra >> 1) & 3];
  int nReferenceState = nState;
  Require(FindSeparatorIn(text, rules, &nState) ==
          kxu::test::ReferenceFindSeparator(text, rules, &nReferenceState));
  Require(nState == nReferenceState);
}

// The line's fields are the raw fields that the byte-at-a-time search cuts
// (at ',', brackets and angle brackets counting), each unquoted on its own.
void CheckCsvLine(const std::string& line) {
  CZQVStringArray fields;
  const int nCount = kxutilsTokenizeOneCSVLine(line.c_str(), &fields);
  Require(nCount == fields.GetSize());
  if (line.empty()) return Require(nCount == 0);
  const SeparatorRules rules = GeneralSeparatorRules(',', kFindBrackets, true);
  std::string_view rest = line;
  for (int i = 0;; ++i) {
    const std::size_t nAt = kxu::test::ReferenceFindSeparator(rest, rules, nullptr);
    CStringUTF8 expected;
    const std::string_view field = rest.substr(0, nAt);
    kxu::tokens::detail::CsvUnquoteFieldInto(field, field.size(), expected);
    Require(i < nCount && kxu::test::TextOf(fields[i]) == kxu::test::TextOf(expected));
    if (nAt == std::string_view::npos) return Require(i + 1 == nCount);
    rest.remove_prefix(nAt + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The text ends at the first NUL, as every caller's text does.
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::string line = text.substr(0, text.find('\0'));
  CheckGetTokens(line, data[0], data[1]);
  CheckSearch(line, data[0], data[1]);
  CheckCsvLine(line);
  return 0;
}
