#include <kxutils96/format/wrap_pad.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/zutl96.h>

namespace {

using kxu::frame::kResultMissingArgument;

constexpr int kCannotBreak = -1;

bool IsBreakChar(char c) {
  return utlCharClass(c) == kCharBreakAfter;
}

// The position of the last break character from `nFrom` back to `nStart`,
// or npos when there is none.
std::size_t LastBreakAtOrBefore(const std::string& text, std::size_t nStart, std::size_t nFrom) {
  for (std::size_t i = nFrom + 1; i-- > nStart;)
    if (IsBreakChar(text[i])) return i;
  return std::string::npos;
}

// Wraps `text` in place; returns the line count or kCannotBreak.
int WrapLines(std::string& text, std::size_t nWidth, const std::string& indent) {
  int nLines = 0;
  std::size_t nStart = 0;
  std::size_t nEnd = 0;
  bool bHaveEnd = false;
  while (nStart < text.size()) {
    if (!bHaveEnd || nStart > nEnd) {
      nEnd = std::min(text.find('\n', nStart), text.size());
      bHaveEnd = true;
    }
    const std::size_t p = nStart + nWidth;
    if (p >= nEnd) {
      if (nLines > 0) {
        text.insert(nStart, indent);
        nEnd += indent.size();
      }
      nStart = nEnd + 1;
    } else {
      const std::size_t nBreak = LastBreakAtOrBefore(text, nStart, p);
      if (nBreak == std::string::npos) return kCannotBreak;
      text.insert(nBreak + 1, 1, '\n');
      ++nEnd;
      std::size_t nNext = nBreak + 2;
      if (nLines > 0) {
        text.insert(nStart, indent);
        nEnd += indent.size();
        nNext += indent.size();
      }
      nStart = nNext;
    }
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
  // Working on a copy leaves the caller's text as it was when a line cannot break.
  std::string text(pstrText->GetString(), static_cast<std::size_t>(pstrText->GetLength()));
  const std::string indent(static_cast<std::size_t>(std::max(nIndent, 0)), ' ');
  const int nLines = WrapLines(text, static_cast<std::size_t>(nWidth), indent);
  if (nLines == kCannotBreak) return kResultMissingArgument;
  *pstrText = CStringUTF8(text.data(), static_cast<int>(text.size()));
  return nLines;
}

CStringUTF8 kxu_str_pad_char(const char* lpcszText, int nWidth, int nAlign, char chPad) {
  const int n = static_cast<int>(std::strlen(lpcszText));
  if (n >= nWidth) return CStringUTF8(lpcszText, std::max(nWidth, 0));
  if (chPad == '\0') return CStringUTF8(lpcszText);
  const std::size_t nPad = static_cast<std::size_t>(nWidth - n);
  const std::size_t nOffset = PadOffset(nAlign, nPad);
  std::string result(nOffset, chPad);
  result.append(lpcszText);
  result.append(nPad - nOffset, chPad);
  return CStringUTF8(result.data(), static_cast<int>(result.size()));
}
