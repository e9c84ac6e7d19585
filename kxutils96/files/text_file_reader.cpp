#include <kxutils96/files/text_file_reader.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/host/zutl96/detect_encoding.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/text/byte_order_mark.h>
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_memory.h>
#include <kxutils96/strings/encoding_conversions.h>

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
// dropped unread, whose pages each piece has backed before it is read) a
// piece at a time, searching each piece for a NUL as it arrives: the text
// ends at its first NUL, and the reading stops there (or where the file
// ended, when it shrank since its length was taken).
void ReadIntoString(CFile& file, CStringUTF8& strText, UINT nLength) {
  const int nRoom = kxu::platform::CheckedInt(nLength);
  const bool bFreshRoom = strText.GetAllocLength() < nRoom;
  if (bFreshRoom) strText.Empty();
  char* const pBuffer = strText.GetBuffer(nRoom);
  UINT nText = 0;
  while (nText < nLength) {
    const UINT nPiece = std::min(kReadPiece, nLength - nText);
    if (bFreshRoom) kxu::platform::PopulateForWrite(pBuffer + nText, nPiece);
    const UINT nRead = file.Read(pBuffer + nText, nPiece);
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

void SwapBytes(WCHAR* pUnits, std::size_t nUnits) {
  for (std::size_t i = 0; i < nUnits; ++i) {
    const auto unit = static_cast<unsigned>(pUnits[i]);
    pUnits[i] = static_cast<WCHAR>(((unit & 0xFFu) << 8) | (unit >> 8));
  }
}

// The UTF-16 units read and converted at a time: the text goes from the file
// to UTF-8 through this much memory, which stays in the processor's cache,
// not through a wide copy of the whole file.
constexpr std::size_t kUtf16PieceUnits = std::size_t{32} * 1024;

// Appends the UTF-8 of `units` (lone surrogates as U+FFFD) to `strText`, whose
// room grows by half again whenever the worst case would not fit. False,
// with `strText` emptied, when the text would pass the longest a string
// holds.
bool AppendUtf8(CStringUTF8& strText, std::basic_string_view<WCHAR> units) {
  const auto nText = static_cast<std::size_t>(strText.GetLength());
  const std::size_t nNeeded = nText + units.size() * kMaxUtf8BytesPerUnit;
  auto nRoom = static_cast<std::size_t>(strText.GetAllocLength());
  if (nNeeded > nRoom) nRoom = std::min<std::size_t>(std::max(nNeeded, nRoom + nRoom / 2), INT_MAX);
  char* const pBuffer = strText.GetBuffer(static_cast<int>(nRoom));
  const ConversionResult result =
      Utf16ToUtf8(units, pBuffer + nText, nRoom - nText, InvalidInput::kReplace);
  if (result.status != ConversionStatus::kDone) {
    strText.ReleaseBuffer(0);
    return false;
  }
  strText.ReleaseBuffer(static_cast<int>(nText + result.nUnits));
  return true;
}

// The UTF-16 reader's work after a successful open; raises the framework's
// exceptions on a failed read. The text ends at its first NUL unit, or
// where the file ended when it shrank since its length was taken; a piece
// leaves a high surrogate at its end to the next one, so that a pair is
// never split.
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
  const std::unique_ptr<WCHAR[]> piece(new WCHAR[kUtf16PieceUnits]);
  std::size_t nHeld = 0;  // units at the piece's start, carried from the last one
  for (std::size_t nLeft = nLength / 2; nLeft > 0;) {
    const std::size_t nWanted = std::min(kUtf16PieceUnits - nHeld, nLeft);
    const std::size_t nRead = file.Read(piece.get() + nHeld, static_cast<UINT>(nWanted * 2)) / 2;
    if (bSwap) SwapBytes(piece.get() + nHeld, nRead);
    nLeft = nRead < nWanted ? 0 : nLeft - nRead;
    const std::size_t nUnits = nHeld + nRead;
    const std::size_t nBeforeNul = FindNul(piece.get(), nUnits);
    const bool bLast = nLeft == 0 || nBeforeNul < nUnits;
    const std::size_t nTaken = bLast ? nBeforeNul : WholeCharacterUnits(piece.get(), nUnits);
    if (!AppendUtf8(strText, {piece.get(), nTaken}) || bLast) return;
    nHeld = nUnits - nTaken;
    std::copy(piece.get() + nTaken, piece.get() + nUnits, piece.get());
  }
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
