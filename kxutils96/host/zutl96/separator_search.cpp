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

// The highest white-space byte: every byte up to it may separate at white space.
constexpr unsigned char kBlank = ' ';

// The bits of one block's mask.
constexpr simd::Mask kBlockBits = (simd::Mask{1} << simd::kBlockBytes) - 1;

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

// The bytes of a block a search looks at, by kind: the separator (at white
// space every byte up to the blank, which the search then tells apart), each
// honoured quote, and the rest (every bracket when brackets count, and the
// escape).
struct BlockStops {
  simd::Mask separators = 0;
  simd::Mask doubleQuotes = 0;
  simd::Mask singleQuotes = 0;
  simd::Mask others = 0;

  // One mask serves both sides of a quote, so a block is loaded once however
  // often the search enters and leaves quoted stretches in it.
  simd::Mask All() const { return separators | doubleQuotes | singleQuotes | others; }
};

inline BlockStops StopsIn(simd::Block block, const SeparatorRules& rules) {
  BlockStops stops;
  stops.separators = rules.separator == 0 ? simd::AtMostMask(block, kBlank)
                                          : simd::EqualMask(block, rules.separator);
  if (rules.doubleQuotes) stops.doubleQuotes = simd::EqualMask(block, '"');
  if (rules.singleQuotes) stops.singleQuotes = simd::EqualMask(block, '\'');
  if (rules.brackets && rules.angleBrackets) {
    stops.others = simd::AnyEqualMask(block, '(', ')', '[', ']', '{', '}', '<', '>');
  } else if (rules.brackets) {
    stops.others = simd::AnyEqualMask(block, '(', ')', '[', ']', '{', '}');
  }
  if (rules.escape != 0) stops.others |= simd::EqualMask(block, rules.escape);
  return stops;
}

// Bits of the letters, digits and bytes of multi-byte characters (IsWordByte).
simd::Mask WordBytesIn(simd::Block block) {
  return simd::HighBitMask(block) | simd::InRangeMask(block, '0', '9') |
         simd::InRangeMask(block, 'A', 'Z') | simd::InRangeMask(block, 'a', 'z');
}

// Bit i set when an odd number of the bits 0..i of `quotes` are set: the
// bytes inside a quoted stretch and its opening quote, when every quote opens
// or closes one.
std::uint64_t InsideQuotes(std::uint64_t quotes) {
  for (unsigned nShift = 1; nShift < 64; nShift *= 2) quotes ^= quotes << nShift;
  return quotes;
}

// The block at `nAt` of `text`, zeros past its end, and the bits of its bytes
// that lie inside the text.
struct TextBlock {
  simd::Block block;
  simd::Mask inText;
};

TextBlock BlockAt(std::string_view text, std::size_t nAt) {
  const std::size_t nLeft = text.size() - nAt;
  if (nLeft >= simd::kBlockBytes) return {simd::LoadBlock(text.data() + nAt), kBlockBits};
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

void SeparatorScanner::LoadRun(std::size_t nBlock) {
  // Copies that the stores into the run cannot change, kept in registers.
  const SeparatorRules rules = m_rules;
  const std::string_view text = m_text;
  m_nRunStart = nBlock;
  const std::size_t nEnd = std::min(text.size(), nBlock + kRunBlocks * kBlockBytes);
  for (std::size_t nAt = nBlock; nAt < nEnd; nAt += kBlockBytes) {
    const TextBlock at = BlockAt(text, nAt);
    m_runStops[(nAt - nBlock) / kBlockBytes] = StopsIn(at.block, rules).All() & at.inText;
  }
}

void SeparatorScanner::LoadDecidedRun(DecidedText& decided) {
  static_assert(kBlockBytes == simd::kBlockBytes && kWordBytes % kBlockBytes == 0);
  const SeparatorRules rules = m_rules;
  const std::string_view text = m_text;
  m_nRunStart = 0;
  const std::size_t nEnd = std::min(text.size(), kRunBlocks * kBlockBytes);
  // Each 64-byte word's masks are gathered block by block and stored once,
  // and its quoted stretches are worked out at once. The only branch that
  // depends on the text is the loop's, so that the search's own branches are
  // the only ones to mispredict.
  std::uint64_t separators = 0;
  std::uint64_t quotes = 0;
  std::uint64_t wordBytes = 0;
  bool bInsideBefore = false;    // the word before ends inside quotes
  bool bWordByteBefore = false;  // the word before ends in a word byte
  for (std::size_t nAt = 0; nAt < nEnd; nAt += kBlockBytes) {
    const TextBlock at = BlockAt(text, nAt);
    const BlockStops stops = StopsIn(at.block, rules);
    const std::size_t nShift = nAt % kWordBytes;
    m_runStops[nAt / kBlockBytes] = stops.All() & at.inText;
    decided.others |= stops.others & at.inText;
    decided.doubleQuotes |= stops.doubleQuotes;
    decided.singleQuotes |= stops.singleQuotes;
    separators |= std::uint64_t{stops.separators & at.inText} << nShift;
    quotes |= std::uint64_t{stops.doubleQuotes | stops.singleQuotes} << nShift;
    wordBytes |= std::uint64_t{WordBytesIn(at.block)} << nShift;
    if (nShift + kBlockBytes < kWordBytes && nAt + kBlockBytes < nEnd) continue;
    // Quoted stretches carry on from the word before; the bytes past the
    // text hold no quote, so a last word's top bit tells how the text ends.
    const std::uint64_t inside = InsideQuotes(quotes) ^ (bInsideBefore ? ~std::uint64_t{0} : 0);
    bInsideBefore = (inside >> (kWordBytes - 1)) != 0;
    // A quote outside quotes after a word byte opens nothing: the quotes do not alternate.
    const std::uint64_t wordBytesBefore = wordBytes << 1 | std::uint64_t{bWordByteBefore};
    bWordByteBefore = (wordBytes >> (kWordBytes - 1)) != 0;
    decided.wrongOpeners |= quotes & inside & wordBytesBefore;
    m_decidedSeparators[nAt / kWordBytes] = separators & ~inside;
    m_decidedQuotes[nAt / kWordBytes] = quotes;
    separators = quotes = wordBytes = 0;
  }
  decided.bEndsInside = bInsideBefore;
}

inline std::uint32_t SeparatorScanner::StopsOfBlock(std::size_t nBlock) {
  if (nBlock < m_nRunStart || nBlock - m_nRunStart >= kRunBlocks * simd::kBlockBytes) {
    LoadRun(nBlock);
  }
  return m_runStops[(nBlock - m_nRunStart) / simd::kBlockBytes];
}

bool SeparatorScanner::DecideAtOnce() {
  // A word-byte separator would let a quote right after it open (a search
  // start) where the masks say it cannot. (Escapes are among the others.)
  const bool bRulesAllow = m_rules.separator != 0 && !IsWordByte(m_rules.separator) &&
                           !IsHonouredQuote(m_rules.separator, m_rules);
  if (!bRulesAllow || m_text.size() > kRunBlocks * kBlockBytes) return false;
  DecidedText decided;
  LoadDecidedRun(decided);
  const bool bOneQuoteKind = decided.doubleQuotes == 0 || decided.singleQuotes == 0;
  if (decided.others != 0 || decided.wrongOpeners != 0 || !bOneQuoteKind) return false;
  m_endQuote = !decided.bEndsInside ? 0 : decided.doubleQuotes != 0 ? '"' : '\'';
  return true;
}

std::size_t SeparatorScanner::FindByteByByteFrom(std::size_t nStart) {
  if (m_nDecidedNext == kNotDecidedYet) {
    const bool bDecided = nStart == 0 && StartsOutsideQuotes() && DecideAtOnce();
    m_nDecidedNext = bDecided ? 0 : std::string_view::npos;
    if (bDecided) return FindDecidedFrom(0);
  }
  m_nDecidedNext = std::string_view::npos;
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
