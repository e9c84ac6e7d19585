#include <kxutils96/files/gimp_palette.h>

#include <climits>
#include <cstdlib>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/wide_conversion.h>
#include <kxutils96/strings/zqv_string_array.h>
#include <kxutils96/tokens/token_splitter.h>

namespace {

constexpr WCHAR kHeader[] = u"GIMP Palette";
constexpr WCHAR kCommentMark = u'#';
constexpr int kColourTokens = 3;

// The three arrays a palette is read into.
struct ColourArrays {
  int* pnRed;
  int* pnGreen;
  int* pnBlue;
};

// The number at the start of the token, as atoi reads it; a value past the
// int range saturates instead of being undefined.
int TokenValue(const CStringUTF8& strToken) {
  const long nValue = std::strtol(strToken, nullptr, 10);
  if (nValue > INT_MAX) return INT_MAX;
  if (nValue < INT_MIN) return INT_MIN;
  return static_cast<int>(nValue);
}

// Splits the line at white space into `saTokens` (emptied first).
void SplitLine(const CStringW& strLine, CZQVStringArray& saTokens) {
  CStringUTF8 strUtf8;
  kxu::strings::ConvertWideToUTF8(strUtf8, strLine, CP_UTF8, -1);
  kxutilsGetTokens(strUtf8, &saTokens, 0, nullptr, kxu::tokens::kQuoteDouble, 0);
}

bool IsColourLine(const CZQVStringArray& saTokens) {
  if (saTokens.GetSize() < kColourTokens) return false;
  const auto first = static_cast<unsigned char>(saTokens[0].GetAt(0));
  return first >= '0' && first <= '9';
}

// Reads lines up to the first colour line and leaves its tokens in
// `saTokens`; false when the file ends first.
bool FindFirstColour(CStdioFile& file, CZQVStringArray& saTokens) {
  CStringW strLine;
  while (file.ReadString(strLine)) {
    if (!strLine.IsEmpty() && strLine[0] == kCommentMark) continue;
    SplitLine(strLine, saTokens);
    if (IsColourLine(saTokens)) return true;
  }
  return false;
}

// Reads the next line that has at least three tokens into `saTokens`;
// false at the end of the file.
bool NextColour(CStdioFile& file, CZQVStringArray& saTokens) {
  CStringW strLine;
  while (file.ReadString(strLine)) {
    SplitLine(strLine, saTokens);
    if (saTokens.GetSize() >= kColourTokens) return true;
  }
  return false;
}

// Stores colours from the first colour line (in `saTokens`) on; returns how
// many, at most `nMax` (positive).
int StoreColours(CStdioFile& file, CZQVStringArray& saTokens, const ColourArrays& out, int nMax) {
  int nCount = 0;
  do {
    out.pnRed[nCount] = TokenValue(saTokens[0]);
    out.pnGreen[nCount] = TokenValue(saTokens[1]);
    out.pnBlue[nCount] = TokenValue(saTokens[2]);
    ++nCount;
  } while (nCount < nMax && NextColour(file, saTokens));
  return nCount;
}

bool HasHeader(CStdioFile& file) {
  CStringW strLine;
  return file.ReadString(strLine) && strLine.CompareNoCase(kHeader) == 0;
}

// A pipe or device reports no length and is read as the empty file that says,
// never waited on or read without end.
int ReadPalette(CStdioFile& file, const ColourArrays& out, int nMax) {
  CZQVStringArray saTokens;
  if (file.GetLength() == 0 || !HasHeader(file) || !FindFirstColour(file, saTokens)) {
    return kxu::files::kPaletteNotAPalette;
  }
  if (nMax <= 0) return 0;
  return StoreColours(file, saTokens, out, nMax);
}

}  // namespace

int kxu_read_GIMP_palette(const char* lpcszFile, int* pnRed, int* pnGreen, int* pnBlue, int nMax) {
  if (nMax > 0 && kxu::frame::AnyNull(pnRed, pnGreen, pnBlue)) {
    return kxu::frame::kResultMissingArgument;
  }
  CStdioFile file;
  const kxu::files::WideFileName name(lpcszFile);
  if (lpcszFile == nullptr || !file.Open(name.Get(), CFile::modeRead))
    return kxu::files::kPaletteOpenFailed;
  const int nResult = ReadPalette(file, {pnRed, pnGreen, pnBlue}, nMax);
  file.Close();
  return nResult;
}
