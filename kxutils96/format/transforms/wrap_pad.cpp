#include <kxutils96/format/transforms/wrap_pad.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/char_class.h>
#include <kxutils96/platform/checked_int.h>

using namespace kxu::frame;
using namespace kxu::zutl96;

namespace {

constexpr int kCannotWrap = -1;

// The longest text a string holds.
constexpr std::size_t kLongestText = std::numeric_limits<int>::max();

bool IsBreakChar(char c) {
  return utlCharClass(c) == kCharBreakAfter;
}

// The position of the last break character from `nFrom` back to `nStart`,
// or npos when there is none.
std::size_t LastBreakAtOrBefore(std::string_view text, std::size_t nStart, std::size_t nFrom) {
  for (std::size_t i = nFrom + 1; i-- > nStart;)
    if (IsBreakChar(text[i])) return i;
  return std::string_view::npos;
}

// The position of the line feed that ends the line at `nStart`, or the end.
std::size_t LineEnd(std::string_view text, std::size_t nStart) {
  return std::min(text.find('\n', nStart), text.size());
}

// Appends a line of the wrapped text to `out`: `nIndent` blanks, `line` and,
// when `bLineFeed`, a line feed. False, appending nothing, when `out` would
// then be longer than a string can be.
bool AppendLine(std::string& out, std::size_t nIndent, std::string_view line, bool bLineFeed) {
  const std::size_t nRoom = kLongestText - out.size();
  if (nIndent > nRoom || line.size() + (bLineFeed ? 1 : 0) > nRoom - nIndent) return false;
  out.append(nIndent, ' ');
  out.append(line);
  if (bLineFeed) out += '\n';
  return true;
}

// Writes `text` wrapped to `out`, line by line; returns the line count, or
// kCannotWrap when a line has no break character within the width or the
// result would be too long for a string. The work is linear: a line's search
// for its break character stops above the byte where the previous line's
// search began, since no break character lies between.
int WrapLines(std::string_view text, std::size_t nWidth, std::size_t nIndent, std::string& out) {
  int nLines = 0;
  std::size_t nStart = 0;
  std::size_t nEnd = LineEnd(text, 0);
  while (nStart < text.size()) {
    if (nStart > nEnd) nEnd = LineEnd(text, nStart);
    // The first line has no indent; the indent does not count towards the width.
    const std::size_t nLineIndent = nLines > 0 ? nIndent : 0;
    std::size_t nNext = 0;
    bool bAppended = false;
    if (nEnd - nStart <= nWidth) {
      // The rest of the line fits; its line feed, if any, stays.
      bAppended =
          AppendLine(out, nLineIndent, text.substr(nStart, nEnd - nStart), nEnd < text.size());
      nNext = nEnd + 1;
    } else {
      // A line feed goes after the last break character within the width.
      const std::size_t nBreak = LastBreakAtOrBefore(text, nStart, nStart + nWidth);
      if (nBreak == std::string_view::npos) return kCannotWrap;
      bAppended = AppendLine(out, nLineIndent, text.substr(nStart, nBreak + 1 - nStart), true);
      nNext = nBreak + 1;
    }
    if (!bAppended) return kCannotWrap;
    nStart = nNext;
    ++nLines;
  }
  return nLines;
}

std::size_t PadOffset(int nAlign, std::size_t nPad) {
  switch (nAlign) {
    case kPadAlignCenter:
      return nPad / 2;
    case kPadAlignRight:
      return nPad;
    default:
      return 0;
  }
}

}  // namespace

int kxu_wrap_text(CStringUTF8* pstrText, int nWidth, int nIndent) {
  if (pstrText == nullptr || nWidth < 1) return kResultMissingArgument;
  if (pstrText->IsEmpty()) return 0;
  // The wrapped text is built apart in one pass, which leaves the caller's
  // text as it was when wrapping fails. The indent is written where a line
  // needs it, never built whole: a huge one may be asked for and not used.
  const std::string_view text(pstrText->GetString(),
                              static_cast<std::size_t>(pstrText->GetLength()));
  std::string wrapped;
  wrapped.reserve(text.size());
  const int nLines = WrapLines(text, static_cast<std::size_t>(nWidth),
                               static_cast<std::size_t>(std::max(nIndent, 0)), wrapped);
  if (nLines == kCannotWrap) return kCannotWrap;
  *pstrText = CStringUTF8(wrapped.data(), kxu::platform::CheckedInt(wrapped.size()));
  return nLines;
}

CStringUTF8 kxu_str_pad_char(const char* lpcszText, int nWidth, int nAlign, char chPad) {
  // Only the bytes up to the width are read: a text of any length is cut.
  const auto nWanted = static_cast<std::size_t>(std::max(nWidth, 0));
  const std::size_t n = strnlen(lpcszText, nWanted);
  if (n == nWanted) return CStringUTF8(lpcszText, std::max(nWidth, 0));
  if (chPad == '\0') return CStringUTF8(lpcszText);
  const std::size_t nPad = nWanted - n;
  const std::size_t nOffset = PadOffset(nAlign, nPad);
  std::string result(nOffset, chPad);
  result.append(lpcszText);
  result.append(nPad - nOffset, chPad);
  return CStringUTF8(result.data(), kxu::platform::CheckedInt(result.size()));
}
