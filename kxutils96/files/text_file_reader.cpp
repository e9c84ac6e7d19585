#include <kxutils96/files/text_file_reader.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/host/zutl96/detect_encoding.h>
#include <kxutils96/platform/byte_order_mark.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/win32/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/encoding_conversions.h>
#include <kxutils96/strings/wide_conversion.h>

using kxu::zutl96::kDetectUtf16WithoutMark;
using kxu::zutl96::kEncodingCodePage;
using kxu::zutl96::kEncodingUtf16BE;
using kxu::zutl96::kEncodingUtf16LE;

namespace {

constexpr UINT kReadFlags = CFile::modeRead | CFile::shareDenyWrite;
constexpr int kEncodingByteMask = 0xFF;
constexpr int kHostCodePage = -1;  // zqMBCStoUTF8's code page for the host's

using kxu::platform::ByteOrderMark;

constexpr UINT kUtf16MarkSize = 2;
constexpr UINT kUtf8MarkSize = 3;

// Reads the file's first `nSize` bytes: when they are a byte-order mark of
// one of `accepted`, returns it and leaves the file after it; otherwise
// returns kNone and goes back to the start.
ByteOrderMark SkipMark(CFile& file, UINT nSize, std::initializer_list<ByteOrderMark> accepted) {
  char head[kUtf8MarkSize] = {};
  const UINT nRead = file.Read(head, nSize);
  const ByteOrderMark mark = kxu::platform::ByteOrderMarkOf(std::string_view(head, nRead)).mark;
  if (std::find(accepted.begin(), accepted.end(), mark) != accepted.end()) return mark;
  file.Seek(0, CFile::begin);
  return ByteOrderMark::kNone;
}

// The file's length, low 32 bits. Files of 2 GiB or more are outside the
// design: the buffer request for them raises CInvalidArgException.
UINT LowLength(const CFile& file) {
  return static_cast<UINT>(file.GetLength());
}

// Reads `nLength` bytes at the file's position with one read into
// `strText`'s own buffer and ends the text at its first NUL (or where the
// file ended, when it shrank since its length was taken).
void ReadIntoString(CFile& file, CStringUTF8& strText, UINT nLength) {
  char* pBuffer = strText.GetBuffer(static_cast<int>(nLength));
  const UINT nRead = file.Read(pBuffer, nLength);
  pBuffer[nRead] = '\0';
  strText.ReleaseBuffer(-1);
}

bool ReadCodePageTextFile(const WCHAR* lpcwszFile, CStringUTF8& strText) {
  CFile file;
  if (!file.Open(lpcwszFile, kReadFlags)) return false;
  ReadIntoString(file, strText, LowLength(file));
  file.Close();
  return true;
}

void SwapBytes(WCHAR* pUnits, UINT nUnits) {
  for (UINT i = 0; i < nUnits; ++i) {
    const auto unit = static_cast<unsigned>(pUnits[i]);
    pUnits[i] = static_cast<WCHAR>(((unit & 0xFFu) << 8) | (unit >> 8));
  }
}

// The UTF-16 reader's work after a successful open; raises the framework's
// exceptions on a failed read.
void ReadUtf16Body(CFile& file, CStringUTF8& strText, bool bBigEndian) {
  UINT nLength = LowLength(file);
  if (nLength < kUtf16MarkSize) return;
  bool bSwap = bBigEndian;
  const ByteOrderMark mark =
      SkipMark(file, kUtf16MarkSize, {ByteOrderMark::kUtf16LE, ByteOrderMark::kUtf16BE});
  if (mark != ByteOrderMark::kNone) {
    nLength -= kUtf16MarkSize;
    bSwap = mark == ByteOrderMark::kUtf16BE;
  }
  if (nLength % 2 != 0) return;
  const UINT nUnits = nLength / 2;
  CStringW strWide;
  WCHAR* pUnits = strWide.GetBuffer(static_cast<int>(nUnits));
  const UINT nUnitsRead = file.Read(pUnits, nLength) / 2;
  pUnits[nUnitsRead] = 0;
  if (bSwap) SwapBytes(pUnits, nUnitsRead);
  strWide.ReleaseBuffer(-1);
  kxu::strings::ConvertWideToUTF8(strText, strWide, CP_UTF8, -1);
}

// Empties `strText`, opens the file and lets `readBody(file)` fill it.
// Returns 1 once the file opened (a failure after that keeps what was
// read), 0 when it did not open.
template <class ReadBody>
int ReadOpenedFile(const WCHAR* lpcwszFile, CStringUTF8& strText, ReadBody readBody) {
  strText.Empty();
  CFile file;
  bool bOpened = false;
  kxu::platform::DeletingFrameworkExceptions([&] {
    bOpened = file.Open(lpcwszFile, kReadFlags) != FALSE;
    if (!bOpened) return;
    readBody(file);
    file.Close();
  });
  return bOpened ? 1 : 0;
}

int ReadUTF16TextFile(const WCHAR* lpcwszFile, CStringUTF8& strText, int bBigEndian) {
  return ReadOpenedFile(lpcwszFile, strText,
                        [&](CFile& file) { ReadUtf16Body(file, strText, bBigEndian != 0); });
}

// The UTF-8 reader's work after a successful open.
void ReadUtf8Body(CFile& file, CStringUTF8& strText) {
  UINT nLength = LowLength(file);
  if (nLength >= kUtf8MarkSize &&
      SkipMark(file, kUtf8MarkSize, {ByteOrderMark::kUtf8}) != ByteOrderMark::kNone)
    nLength -= kUtf8MarkSize;
  if (nLength > 0) ReadIntoString(file, strText, nLength);
}

int ReadUTF8TextFile(const WCHAR* lpcwszFile, CStringUTF8& strText) {
  return ReadOpenedFile(lpcwszFile, strText, [&](CFile& file) { ReadUtf8Body(file, strText); });
}

}  // namespace

int kxu_read_text_file(const char* lpcszFile, CStringUTF8* pstrText, int nOption) {
  if (pstrText == nullptr) return 0;
  const kxu::files::WideFileName name(lpcszFile);
  const int nFlags = nOption == 0 ? kDetectUtf16WithoutMark : 0;
  const int nEncoding = KESUTIL_DetectEncodingFile(lpcszFile, 0, nFlags) & kEncodingByteMask;
  switch (nEncoding) {
    case kEncodingCodePage:
      if (!ReadCodePageTextFile(name.Get(), *pstrText)) return 0;
      if (!pstrText->IsEmpty()) zqMBCStoUTF8(*pstrText, nullptr, kHostCodePage);
      return 1;
    case kEncodingUtf16LE:
    case kEncodingUtf16BE:
      return ReadUTF16TextFile(name.Get(), *pstrText, nEncoding == kEncodingUtf16BE ? 1 : 0);
    default:
      return ReadUTF8TextFile(name.Get(), *pstrText);
  }
}
