// Separator search: finding the next separator of a token outside quotes
// and brackets, skipping white space, and removing a token's quotes.
//
// Bytes, as every routine here classifies them (a byte argument is taken
// modulo 256, so a sign-extended char is accepted; bytes 0x80 and above are
// parts of multi-byte characters and are never white space, quotes or
// brackets):
//   white space  blank, tab, CR, LF, VT, FF
//   quotes       the double quote " and the single quote '
//   brackets     ( ) [ ] { }, and < > while the angle switch is on
//   word bytes   ASCII letters and digits, and every byte 0x80 and above
//
// Separator searches. Every search measures the text from the position and
// walks forward once, so its time is linear in that length, and returns the first separator
// byte that stands outside quotes and outside brackets, or null when the text
// ends first. The separator byte 0 stands for any white-space byte.
//   - A quote opens a quoted stretch only at the start of the text or after a
//     byte that is not a word byte, so the apostrophe of "Young's modulus" or
//     the inch mark of 5" is an ordinary byte, while 'my file' and the
//     value of name="a,b" are quoted. The stretch ends at the next byte equal
//     to its opening quote; the other quote kind and brackets inside it are
//     ordinary bytes. A doubled quote inside a stretch closes and reopens it,
//     which keeps CSV's "" escape inside one stretch.
//   - Brackets (when the search honours them) nest with one depth counter for
//     all kinds: any closer ends the innermost open bracket, whatever its
//     kind. Quotes inside brackets are honoured. A closer with no open
//     bracket is an ordinary byte.
//   - An unbalanced opening quote or bracket hides every separator after it:
//     the search returns null and the rest of the text stays one token.
//
// Example: in `a(b,c),"d,e",f` the first ',' outside brackets and quotes is
// the one at position 6.
//
// Each search has a second form over a text of known length (a
// std::string_view holding no NUL) that callers splitting one text many times
// use, so that no search reads ahead of the separator it returns for nothing:
// it looks at 16 bytes at a time for the next byte that matters.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::zutl96 {

// Mode bits of utlFindSeparator and utlFindSeparatorEx.
enum FindSeparatorMode : int {
  // Quotes only: brackets are ordinary bytes.
  kFindQuotesOnly = 0,
  // Brackets hide the separators inside them, as well as quotes.
  kFindBrackets = 0x40,
};

// Quote kinds that utlFindSeparatorQuoted honours, as bits.
enum QuoteKinds : int {
  kQuoteKindDouble = 1,
  kQuoteKindSingle = 2,
};

// The search state that utlFindSeparator and utlFindSeparatorEx read and
// write through their `pState` argument lets a caller split a text in pieces
// (a CSV file line by line) and resume inside a quoted stretch that an earlier
// piece opened. On entry the state is the quote byte the search starts inside
// (kSearchOutsideQuotes, '"' or '\''; any other value counts as outside). On
// return it is kSearchOutsideQuotes when a separator was found, else the quote
// byte still open where the text ended. A null `pState` means: start outside
// quotes and report nothing. Bracket depth is not carried over.
inline constexpr int kSearchOutsideQuotes = 0;

}  // namespace kxu::zutl96

// Finds the next separator `chSep` (0: white space) at or after `p`, with the
// rules above; `nMode` kFindBrackets makes brackets count, other bits are
// ignored. `pState`: see kSearchOutsideQuotes. Returns the separator's
// position or null (also for a null `p`).
// Example: utlFindSeparator(p = `"a b" c`, 0, kFindBrackets, nullptr) == p + 5.
char* utlFindSeparator(char* p, int chSep, int nMode, int* pState);

// As utlFindSeparator, and inside quoted stretches the byte `chEscape` (0:
// the backslash) makes the byte after it ordinary, so an escaped quote does not
// end the stretch. `nReserved` is ignored; callers pass 0.
// Example: in `"a\",b",c` the separator found is the last ',' (position 7).
char* utlFindSeparatorEx(char* p, int chSep, int nMode, int* pState, int chEscape, int nReserved);

// Finds the next separator `chSep` (0: white space) at or after `p` outside
// the quote kinds of `nQuoteKinds` (kQuoteKindDouble, kQuoteKindSingle) and
// outside brackets, as utlFindSeparator with kFindBrackets does (angle
// brackets while the switch is on). Returns the separator's position, or
// null (also for a null `p`).
// Example: utlFindSeparatorQuoted(p = `(a,b),'c,d'`, ',', kQuoteKindDouble) == p + 5.
char* utlFindSeparatorQuoted(char* p, int chSep, int nQuoteKinds);

// Turns angle brackets on (nonzero) or off (0) as brackets for the searches
// that honour brackets, and returns the previous setting (1 or 0) so that the
// caller can restore it. The setting is one per thread, initially off: a
// caller that switches it on for one call never changes the searches of a
// call running on another thread.
// Example: int nOld = set_parenth_use_angle_brackets(1); ...;
// set_parenth_use_angle_brackets(nOld);
int set_parenth_use_angle_brackets(int nOn);

// The position of the first byte at or after `p` that is not white space (the
// terminating NUL when there is none); null for a null `p`. Nothing is
// written: trailing white space stays in the text.
// Example: utlSkipWhite(p = " \t x ") == p + 3.
char* utlSkipWhite(char* p);

// For a position just after a white-space separator: the start of the next
// token, past any further white space, or null when only white space follows,
// so that trailing white space adds no empty token. Null for a null `p`.
// Example: utlSkipWhiteAfterSep(p = "  b") == p + 2; utlSkipWhiteAfterSep("  ") == nullptr.
char* utlSkipWhiteAfterSep(char* p);

namespace kxu::zutl96 {

// What utlUnquote removes: on entry `*pnPairs` holds these bits.
enum UnquotePairs : int {
  kUnquoteQuotes = 0,
  kUnquoteQuotesAndBrackets = 1,
};

}  // namespace kxu::zutl96

// Removes, in place, the enclosing pair of the token at `p`: the first byte is
// a quote and the last byte the same quote, or (when `*pnPairs` holds
// kUnquoteQuotesAndBrackets) the first byte is ( [ or { and the last its
// closer (angle brackets are never removed). The last byte of the pair becomes NUL and the token's
// new start, p + 1, is returned; a token without such a pair (an unterminated quote, a single quote
// byte) is returned unchanged. Inner bytes, doubled quotes included, stay as they are. Afterwards
// `*pnPairs` is 1 when a pair was removed, else 0 (a null `pnPairs` reads as kUnquoteQuotes). Null
// for null. Example: utlUnquote(`"a b"`) yields `a b`; utlUnquote(`(x)`) with 1 yields `x`.
char* utlUnquote(char* p, int* pnPairs);

namespace kxu::zutl96 {

// Flags of utlCsvUnquote, in the top 8 bits (the rest is ignored).
enum CsvUnquoteFlags : DWORD {
  // Inside the quotes a backslash makes the next byte literal (\" gives ").
  kCsvBackslashEscapes = 0x01000000,
  kCsvFlagsMask = 0xFF000000,
};

}  // namespace kxu::zutl96

// Removes, in place, the CSV quoting of the field at `p`, which starts with a
// double quote: the bytes up to the closing quote are kept, a doubled quote
// "" inside gives one ", and the bytes after the closing quote are kept as
// they are (lenient: `"ab"c` gives `abc`). An unterminated field keeps all its
// bytes after the opening quote. Returns `p`, now holding the shorter text;
// afterwards `*pnClosed` (may be null) is 1 when the closing quote was
// found, else 0. A field that does not start with a double quote, and a null
// `p`, are returned unchanged.
// Example: utlCsvUnquote(`"say ""hi"""`, &n, 0) yields `say "hi"`, n == 1.
char* utlCsvUnquote(char* p, int* pnClosed, DWORD dwFlags);

namespace kxu::zutl96 {

// What one separator search honours, made from the arguments of the
// utl* searches by the functions below; the utl* exports take the angle
// rule from the thread's switch, other callers say it themselves.
struct SeparatorRules {
  unsigned char separator = 0;  // 0: any white-space byte
  bool doubleQuotes = true;
  bool singleQuotes = true;
  bool brackets = false;
  bool angleBrackets = false;  // < > are brackets too (with `brackets`)
  unsigned char escape = 0;    // makes the next byte ordinary inside quotes; 0: none
};

// The rules of utlFindSeparator(p, chSep, nMode, ...), with angle brackets
// as `bAngleBrackets` says. (Inline, as are the two below: a splitter makes
// its rules once a text, and the struct is built in place.)
inline SeparatorRules GeneralSeparatorRules(int chSep, int nMode, bool bAngleBrackets) {
  SeparatorRules rules;
  rules.separator = static_cast<unsigned char>(chSep);
  rules.brackets = (nMode & kFindBrackets) != 0;
  rules.angleBrackets = bAngleBrackets;
  return rules;
}

// The rules of utlFindSeparatorEx(p, chSep, nMode, ..., chEscape, 0), with
// angle brackets as `bAngleBrackets` says; the escape 0 stands for the backslash.
inline SeparatorRules EscapedSeparatorRules(int chSep, int nMode, int chEscape,
                                            bool bAngleBrackets) {
  SeparatorRules rules = GeneralSeparatorRules(chSep, nMode, bAngleBrackets);
  rules.escape = chEscape == 0 ? '\\' : static_cast<unsigned char>(chEscape);
  return rules;
}

// The rules of utlFindSeparatorQuoted(p, chSep, nQuoteKinds), with angle
// brackets as `bAngleBrackets` says.
inline SeparatorRules QuotedSeparatorRules(int chSep, int nQuoteKinds, bool bAngleBrackets) {
  SeparatorRules rules = GeneralSeparatorRules(chSep, kFindBrackets, bAngleBrackets);
  rules.doubleQuotes = (nQuoteKinds & kQuoteKindDouble) != 0;
  rules.singleQuotes = (nQuoteKinds & kQuoteKindSingle) != 0;
  return rules;
}

// Whether the calling thread's angle switch (set_parenth_use_angle_brackets)
// is on.
bool AngleBracketsSwitchedOn() noexcept;

// The separator search of `rules` over `text`, which must hold no NUL;
// `pState` as for utlFindSeparator. Returns the separator's offset, or
// std::string_view::npos when the text ends first.
// Example: FindSeparatorIn(`"a,b",c`, GeneralSeparatorRules(',', 0, false), nullptr) == 5.
std::size_t FindSeparatorIn(std::string_view text, const SeparatorRules& rules, int* pState);

// The separator searches of one text cut token after token: FindFrom(n) is
// FindSeparatorIn(text.substr(n), rules, pState) + n, and the blocks a search
// has looked at are looked at once, however many searches they hold.
//
// A text of up to kRunBlocks blocks cut as a splitter cuts it (from 0 outside
// quotes, then from one past each separator found) is often decided at once:
// when it holds no bracket, escape or quote kind but one, and each quote
// outside a quoted stretch opens one, the quotes alternate, and the bit
// masks of the separators outside them are all the searches need. Other
// texts and other starts take the byte-by-byte course.
class SeparatorScanner {
 public:
  // `text` (no NUL) and `pState` must outlive the scanner.
  SeparatorScanner(std::string_view text, const SeparatorRules& rules, int* pState) noexcept
      : m_text(text), m_rules(rules), m_pState(pState) {}

  // The offset of the first separator at or after `nStart`, or
  // std::string_view::npos; updates the state as FindSeparatorIn does.
  std::size_t FindFrom(std::size_t nStart) {
    if (nStart == m_nDecidedNext && StartsOutsideQuotes()) return FindDecidedFrom(nStart);
    return FindByteByByteFrom(nStart);
  }

  // True when the last FindFrom passed no byte it looks at (no quote, bracket
  // or escape) on its way to the separator or the text's end: the bytes it
  // passed over then need no unquoting.
  bool PassedNothing() const noexcept { return m_bPassedNothing; }

 private:
  // Blocks whose stops are worked out together, in one loop.
  static constexpr std::size_t kRunBlocks = 32;

  // What the first run of a text shows when it is decided at once.
  struct DecidedText {
    std::uint32_t others = 0;  // brackets and escapes
    std::uint32_t doubleQuotes = 0;
    std::uint32_t singleQuotes = 0;
    std::uint64_t wrongOpeners = 0;  // quotes outside quotes right after a word byte
    bool bEndsInside = false;
  };
  static constexpr std::size_t kNotDecidedYet = std::string_view::npos - 1;
  static constexpr std::size_t kWordBytes = 64;
  static constexpr std::size_t kBlockBytes = 16;  // the SIMD blocks' size
  static constexpr std::size_t kRunWords = kRunBlocks * kBlockBytes / kWordBytes;

  bool StartsOutsideQuotes() const noexcept {
    return m_pState == nullptr || *m_pState == kSearchOutsideQuotes;
  }
  // The stops of kRunBlocks blocks from `nBlock` (a multiple of 16) on.
  void LoadRun(std::size_t nBlock);
  // LoadRun(0), and the masks of a decided text and what decides it.
  void LoadDecidedRun(DecidedText& decided);
  // Bits of the bytes of the block at `nBlock` that the search looks at.
  std::uint32_t StopsOfBlock(std::size_t nBlock);
  // Fills m_decidedSeparators and m_decidedQuotes for the whole text; false
  // when the text or the rules need the byte-by-byte search.
  bool DecideAtOnce();
  // FindFrom on a decided text, `nStart` being 0 or one past a separator found.
  std::size_t FindDecidedFrom(std::size_t nStart);
  // FindFrom by the bytes the search looks at, one after another; the first
  // search of a text decides whether the text is decided at once.
  std::size_t FindByteByByteFrom(std::size_t nStart);

  std::string_view m_text;
  SeparatorRules m_rules;
  int* m_pState;
  // The stops of kRunBlocks blocks from m_nRunStart on.
  std::size_t m_nRunStart = std::string_view::npos;
  std::uint32_t m_runStops[kRunBlocks];
  bool m_bPassedNothing = true;
  // Where the next search of a decided text starts; npos: the text is not
  // decided (or no longer searched as a splitter does).
  std::size_t m_nDecidedNext = kNotDecidedYet;
  // Per 64 bytes of a decided text (bit i for byte i): the separators outside
  // quotes, and the quotes. Fields are short: most lie in one word.
  std::uint64_t m_decidedSeparators[kRunWords];
  std::uint64_t m_decidedQuotes[kRunWords];
  unsigned char m_endQuote = 0;  // the quote open where a decided text ends
};

inline std::size_t SeparatorScanner::FindDecidedFrom(std::size_t nStart) {
  const std::size_t nWords = (m_text.size() + kWordBytes - 1) / kWordBytes;
  std::size_t nWord = nStart / kWordBytes;
  const std::uint64_t fromStart = ~std::uint64_t{0} << (nStart % kWordBytes);
  // A search from the text's end (a word past the last when the text fills its words) finds
  // nothing.
  const bool bInText = nWord < nWords;
  std::uint64_t separators = bInText ? m_decidedSeparators[nWord] & fromStart : 0;
  std::uint64_t quotes = bInText ? m_decidedQuotes[nWord] & fromStart : 0;
  bool bQuotesInEarlierWords = false;
  while (separators == 0 && ++nWord < nWords) {
    bQuotesInEarlierWords |= quotes != 0;
    separators = m_decidedSeparators[nWord];
    quotes = m_decidedQuotes[nWord];
  }
  if (separators == 0) {
    m_bPassedNothing = !bQuotesInEarlierWords && quotes == 0;
    m_nDecidedNext = std::string_view::npos;
    if (m_pState != nullptr) *m_pState = m_endQuote;
    return std::string_view::npos;
  }
  const int nBit = std::countr_zero(separators);
  m_bPassedNothing = !bQuotesInEarlierWords && (quotes & ((std::uint64_t{1} << nBit) - 1)) == 0;
  const std::size_t nAt = nWord * kWordBytes + static_cast<std::size_t>(nBit);
  m_nDecidedNext = nAt + 1;
  if (m_pState != nullptr) *m_pState = kSearchOutsideQuotes;
  return nAt;
}

// The offset of the first byte of `text` at or after `nFrom` that is not white
// space, or text.size() when there is none.
std::size_t SkipWhiteIn(std::string_view text, std::size_t nFrom);

// utlUnquote on a text of known length: the text without its enclosing quote
// or bracket pair (brackets only with kUnquoteQuotesAndBrackets in `nPairs`),
// or the text itself when it has none.
// Example: WithoutEnclosingPair(`(x)`, kUnquoteQuotesAndBrackets) == "x".
std::string_view WithoutEnclosingPair(std::string_view token, int nPairs);

// utlCsvUnquote on a text of known length: writes the unquoted `field`, which
// starts with a double quote, to `pOut` (room for field.size() bytes; it may
// be field.data() itself) and returns the bytes written. `pbClosed` (may be
// null) receives whether the closing quote was found.
// Example: `"a""b"c` gives `a"b` followed by `c`, 4 bytes, closed.
std::size_t CsvUnquoteInto(std::string_view field, char* pOut, DWORD dwFlags, bool* pbClosed);

}  // namespace kxu::zutl96
