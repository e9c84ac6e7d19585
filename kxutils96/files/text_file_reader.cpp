#include <kxutils96/files/text_file_reader.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/host/zutl96/detect_encoding.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/text/byte_order_mark.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/encoding_conversions.h>
#include <kxutils96/strings/wide_conversion.h>

using namespace kxu::platform;
using namespace kxu::zutl96;

namespace {

constexpr UINT kReadFlags = CFile::modeRead | CFile::shareDenyWrite;
constexpr int kEncodingByteMask = 0xFF;
constexpr int kHostCodePage = -1;  // zqMBCStoUTF8's code page for the host's

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

// The file's length. Files of 2 GiB or more, longer than a string holds, are
// refused with CInvalidArgException before anything is read.
UINT FileLength(const CFile& file) {
  const ULONGLONG nLength = file.GetLength();
  if (!kxu::platform::FitsInt(nLength)) AfxThrowInvalidArgException();
  return static_cast<UINT>(nLength);
}

// The piece read at a time: small enough that the search for a NUL finds it
// still in the cache, large enough that the calls cost nothing.
constexpr UINT kReadPiece = UINT{256} * 1024;

// Reads `nLength` bytes at the file's position into `strText`'s own buffer
// (the one it has when its room suffices; otherwise a new one, the old text
// dropped unread) a piece at a time, searching each piece for a NUL as it
// arrives: the text ends at its first NUL, and the reading stops there (or
// where the file ended, when it shrank since its length was taken).
void ReadIntoString(CFile& file, CStringUTF8& strText, UINT nLength) {
  const int nRoom = kxu::platform::CheckedInt(nLength);
  if (strText.GetAllocLength() < nRoom) strText.Empty();
  char* const pBuffer = strText.GetBuffer(nRoom);
  UINT nText = 0;
  while (nText < nLength) {
    const UINT nRead = file.Read(pBuffer + nText, std::min(kReadPiece, nLength - nText));
    const void* pNul = std::memchr(pBuffer + nText, '\0', nRead);
    if (pNul != nullptr) {
      nText = static_cast<UINT>(static_cast<const char*>(pNul) - pBuffer);
      break;
    }
    nText += nRead;
    if (nRead == 0) break;
  }
  strText.ReleaseBuffer(kxu::platform::CheckedInt(nText));
}

// The code-page reader's work on the open file. It has no handler: a
// framework exception reaches the caller.
void ReadCodePageTextFile(CFile& file, CStringUTF8& strText) {
  ReadIntoString(file, strText, FileLength(file));
  file.Close();
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
  UINT nLength = FileLength(file);
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
  WCHAR* pUnits = strWide.GetBuffer(kxu::platform::CheckedInt(nUnits));
  const UINT nUnitsRead = file.Read(pUnits, nLength) / 2;
  pUnits[nUnitsRead] = 0;
  if (bSwap) SwapBytes(pUnits, nUnitsRead);
  strWide.ReleaseBuffer(-1);
  kxu::strings::ConvertWideToUTF8(strText, strWide, CP_UTF8, -1);
}

// Empties `strText`, keeping its buffer for the text to come, and lets
// `readBody()` fill it from the open file under a handler for the
// framework's exceptions (a failure keeps what was read). Returns 1.
template <class ReadBody>
int ReadOpenedFile(CFile& file, CStringUTF8& strText, ReadBody readBody) {
  strText.GetBuffer();
  strText.ReleaseBuffer(0);
  kxu::platform::DeletingFrameworkExceptions([&] {
    readBody();
    file.Close();
  });
  return 1;
}

int ReadUTF16TextFile(CFile& file, CStringUTF8& strText, int bBigEndian) {
  return ReadOpenedFile(file, strText, [&] { ReadUtf16Body(file, strText, bBigEndian != 0); });
}

// The UTF-8 reader's work on the open file.
void ReadUtf8Body(CFile& file, CStringUTF8& strText) {
  UINT nLength = FileLength(file);
  if (nLength >= kUtf8MarkSize &&
      SkipMark(file, kUtf8MarkSize, {ByteOrderMark::kUtf8}) != ByteOrderMark::kNone)
    nLength -= kUtf8MarkSize;
  if (nLength > 0) ReadIntoString(file, strText, nLength);
}

int ReadUTF8TextFile(CFile& file, CStringUTF8& strText) {
  return ReadOpenedFile(file, strText, [&] { ReadUtf8Body(file, strText); });
}

}  // namespace

int kxu_read_text_file(const char* lpcszFile, CStringUTF8* pstrText, int nOption) {
  if (pstrText == nullptr) return 0;
  // The name is converted once and the file opened once: the encoding is
  // decided from the open file that the reader then reads.
  const kxu::files::WideFileName name(lpcszFile);
  CFile file;
  if (!file.Open(name.Get(), kReadFlags)) {
    pstrText->Empty();
    return 0;
  }
  const int nFlags = nOption == 0 ? kDetectUtf16WithoutMark : 0;
  const int nEncoding = kxu::zutl96::DetectEncodingOfOpenFile(file, nFlags) & kEncodingByteMask;
  switch (nEncoding) {
    case kEncodingCodePage:
      ReadCodePageTextFile(file, *pstrText);
      if (!pstrText->IsEmpty()) zqMBCStoUTF8(*pstrText, nullptr, kHostCodePage);
      return 1;
    case kEncodingUtf16LE:
    case kEncodingUtf16BE:
      return ReadUTF16TextFile(file, *pstrText, nEncoding == kEncodingUtf16BE ? 1 : 0);
    default:
      return ReadUTF8TextFile(file, *pstrText);
  }
}
