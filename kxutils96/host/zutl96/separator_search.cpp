// The separator search behind utlFindSeparator, utlFindSeparatorEx,
// utlFindSeparatorQuoted and FindSeparatorIn, and the angle-bracket switch
// the utl* searches read. The search looks at 16 bytes at a time for the bytes that can
// change its course (a separator, a quote, a bracket, an escape) and steps
// over every other byte unseen.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <string_view>

#include <kxutils96/host/zutl96/detail/byte_kinds.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/platform/text/simd.h>

using namespace kxu::zutl96::detail;
using namespace kxu::zutl96;

namespace {

namespace simd = kxu::platform::simd;

// One per thread, so that a call that switches angle brackets on never
// changes how a call on another thread splits.
thread_local bool t_bAngleBrackets = false;

// The backslash, the escape byte of the extended search when none is given.
constexpr unsigned char kDefaultEscape = '\\';

// The highest white-space byte: every byte up to it may separate at white space.
constexpr unsigned char kBlank = ' ';

bool IsSeparator(unsigned char c, unsigned char separator) {
  return separator == 0 ? IsWhite(c) : c == separator;
}

bool IsHonouredQuote(unsigned char c, const SeparatorRules& rules) {
  return (c == '"' && rules.doubleQuotes) || (c == '\'' && rules.singleQuotes);
}

// A quote opens a stretch at the start of the search or after a non-word byte.
bool OpensQuote(std::string_view text, std::size_t nAt, std::size_t nSearchStart,
                const SeparatorRules& rules) {
  return IsHonouredQuote(ByteOf(text[nAt]), rules) &&
         (nAt == nSearchStart || !IsWordByte(ByteOf(text[nAt - 1])));
}

// The quote byte a search starts inside, from the caller's state.
unsigned char StartQuote(const int* pState, const SeparatorRules& rules) {
  if (pState == nullptr) return 0;
  const unsigned char quote = ByteOf(*pState);
  return (*pState == quote && IsHonouredQuote(quote, rules)) ? quote : 0;
}

// Where a search stands between two bytes that it looks at.
struct SearchState {
  std::size_t start = 0;        // where the search began
  unsigned char openQuote = 0;  // 0: outside quotes
  std::size_t depth = 0;        // open brackets
  std::size_t nextLook = 0;     // bytes before it are passed over (an escaped byte)
};

// Bits of the bytes a search looks at, inside quotes or outside: the
// separator (at white space every byte up to the blank, which the search then
// tells apart), the honoured quotes, every bracket when brackets count, and
// the escape. One mask serves both sides of a quote, so a block is loaded
// once however often the search enters and leaves quoted stretches in it.
simd::Mask StopBytes(simd::Block block, const SeparatorRules& rules) {
  simd::Mask mask = rules.separator == 0 ? simd::AtMostMask(block, kBlank)
                                         : simd::EqualMask(block, rules.separator);
  if (rules.doubleQuotes) mask |= simd::EqualMask(block, '"');
  if (rules.singleQuotes) mask |= simd::EqualMask(block, '\'');
  if (rules.brackets) {
    mask |= simd::EqualMask(block, '(') | simd::EqualMask(block, ')') |
            simd::EqualMask(block, '[') | simd::EqualMask(block, ']') |
            simd::EqualMask(block, '{') | simd::EqualMask(block, '}');
  }
  if (rules.brackets && rules.angleBrackets) {
    mask |= simd::EqualMask(block, '<') | simd::EqualMask(block, '>');
  }
  if (rules.escape != 0) mask |= simd::EqualMask(block, rules.escape);
  return mask;
}

// The block at `nAt` of `text`, zeros past its end, and the bits of its bytes
// that lie inside the text.
struct TextBlock {
  simd::Block block;
  simd::Mask inText;
};

TextBlock BlockAt(std::string_view text, std::size_t nAt) {
  const std::size_t nLeft = text.size() - nAt;
  if (nLeft >= simd::kBlockBytes) return {simd::LoadBlock(text.data() + nAt), 0xFFFF};
  unsigned char padded[simd::kBlockBytes] = {};
  std::memcpy(padded, text.data() + nAt, nLeft);
  return {simd::LoadBlock(padded), (simd::Mask{1} << nLeft) - 1};
}

// Takes the byte at `nAt` into `state`; true when it is the separator sought.
bool IsSeparatorFound(std::string_view text, std::size_t nAt, const SeparatorRules& rules,
                      SearchState& state) {
  const unsigned char c = ByteOf(text[nAt]);
  if (state.openQuote != 0) {
    if (c == rules.escape && nAt + 1 < text.size()) {
      state.nextLook = nAt + 2;
    } else if (c == state.openQuote) {
      state.openQuote = 0;
    }
  } else if (state.depth == 0 && IsSeparator(c, rules.separator)) {
    return true;
  } else if (OpensQuote(text, nAt, state.start, rules)) {
    state.openQuote = c;
  } else if (rules.brackets && CloserOf(c, rules.angleBrackets) != 0) {
    ++state.depth;
  } else if (state.depth > 0 && IsCloser(c, rules.angleBrackets)) {
    --state.depth;
  }
  return false;
}

// The C-string form of FindSeparatorIn.
char* FindSeparatorInText(char* p, const SeparatorRules& rules, int* pState) {
  if (p == nullptr) return nullptr;
  const std::string_view text(p);
  const std::size_t nAt = kxu::zutl96::FindSeparatorIn(text, rules, pState);
  return nAt == std::string_view::npos ? nullptr : p + nAt;
}

}  // namespace

namespace kxu::zutl96 {

SeparatorRules GeneralSeparatorRules(int chSep, int nMode, bool bAngleBrackets) {
  SeparatorRules rules;
  rules.separator = ByteOf(chSep);
  rules.brackets = (nMode & kFindBrackets) != 0;
  rules.angleBrackets = bAngleBrackets;
  return rules;
}

SeparatorRules EscapedSeparatorRules(int chSep, int nMode, int chEscape, bool bAngleBrackets) {
  SeparatorRules rules = GeneralSeparatorRules(chSep, nMode, bAngleBrackets);
  rules.escape = chEscape == 0 ? kDefaultEscape : ByteOf(chEscape);
  return rules;
}

SeparatorRules QuotedSeparatorRules(int chSep, int nQuoteKinds, bool bAngleBrackets) {
  SeparatorRules rules = GeneralSeparatorRules(chSep, kFindBrackets, bAngleBrackets);
  rules.doubleQuotes = (nQuoteKinds & kQuoteKindDouble) != 0;
  rules.singleQuotes = (nQuoteKinds & kQuoteKindSingle) != 0;
  return rules;
}

inline std::uint32_t SeparatorScanner::StopsOfBlock(std::size_t nBlock) {
  constexpr std::size_t kRunBytes = kRunBlocks * simd::kBlockBytes;
  if (nBlock < m_nRunStart || nBlock - m_nRunStart >= kRunBytes) {
    // A new run: the loop has no branch that depends on the text, so that
    // the search's own branches are the only ones to mispredict.
    m_nRunStart = nBlock;
    const std::size_t nEnd = std::min(m_text.size(), nBlock + kRunBytes);
    for (std::size_t nAt = nBlock; nAt < nEnd; nAt += simd::kBlockBytes) {
      const TextBlock at = BlockAt(m_text, nAt);
      m_runStops[(nAt - nBlock) / simd::kBlockBytes] = StopBytes(at.block, m_rules) & at.inText;
    }
  }
  return m_runStops[(nBlock - m_nRunStart) / simd::kBlockBytes];
}

std::size_t SeparatorScanner::FindFrom(std::size_t nStart) {
  SearchState state;
  state.start = nStart;
  state.openQuote = StartQuote(m_pState, m_rules);
  const std::size_t nFirstBlock = nStart - nStart % simd::kBlockBytes;
  m_bPassedNothing = true;
  for (std::size_t nBlock = nFirstBlock; nBlock < m_text.size(); nBlock += simd::kBlockBytes) {
    simd::Mask stops = StopsOfBlock(nBlock);
    // In the first block, only the bytes from the start on.
    if (nBlock == nFirstBlock) stops &= ~((simd::Mask{1} << (nStart - nBlock)) - 1);
    for (; stops != 0; stops &= stops - 1, m_bPassedNothing = false) {
      const std::size_t nAt = nBlock + static_cast<std::size_t>(std::countr_zero(stops));
      if (nAt < state.nextLook || !IsSeparatorFound(m_text, nAt, m_rules, state)) continue;
      if (m_pState != nullptr) *m_pState = kSearchOutsideQuotes;
      return nAt;
    }
  }
  if (m_pState != nullptr) *m_pState = state.openQuote;
  return std::string_view::npos;
}

bool AngleBracketsSwitchedOn() noexcept {
  return t_bAngleBrackets;
}

std::size_t FindSeparatorIn(std::string_view text, const SeparatorRules& rules, int* pState) {
  return SeparatorScanner(text, rules, pState).FindFrom(0);
}

}  // namespace kxu::zutl96

int set_parenth_use_angle_brackets(int nOn) {
  const int nPrevious = t_bAngleBrackets ? 1 : 0;
  t_bAngleBrackets = nOn != 0;
  return nPrevious;
}

char* utlFindSeparator(char* p, int chSep, int nMode, int* pState) {
  return FindSeparatorInText(p, kxu::zutl96::GeneralSeparatorRules(chSep, nMode, t_bAngleBrackets),
                             pState);
}

char* utlFindSeparatorEx(char* p, int chSep, int nMode, int* pState, int chEscape,
                         int /*nReserved*/) {
  return FindSeparatorInText(
      p, kxu::zutl96::EscapedSeparatorRules(chSep, nMode, chEscape, t_bAngleBrackets), pState);
}

char* utlFindSeparatorQuoted(char* p, int chSep, int nQuoteKinds) {
  return FindSeparatorInText(
      p, kxu::zutl96::QuotedSeparatorRules(chSep, nQuoteKinds, t_bAngleBrackets), nullptr);
}
