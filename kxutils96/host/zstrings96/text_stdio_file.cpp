#include <kxutils96/host/zstrings96/text_stdio_file.h>

#include <functional>
#include <string_view>

#include <kxutils96/host/zstrings96/string_utf8.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/byte_order_mark.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

using namespace kxu::zstrings96;

namespace {

// The longest byte-order mark, UTF-8's.
constexpr UINT kLongestMark = 3;
constexpr WCHAR kLineFeed = 0x000A;
constexpr WCHAR kCarriageReturn = 0x000D;
constexpr char kLineFeedByte = '\n';
// The code page for lines that are not UTF-8 when the system's ANSI page is
// UTF-8 itself: one in which every byte is a character, so nothing is lost.
constexpr UINT kLatinCodePage = 1252;

// The code page of lines that are not valid UTF-8.
UINT FallbackCodePage() {
  const UINT nAnsi = GetACP();
  return nAnsi == CP_UTF8 ? kLatinCodePage : nAnsi;
}

// Replaces `rString` with the UTF-16 form of `line` in `codePage` under
// `dwFlags`; false, with `rString` emptied, when it does not convert (under
// MB_ERR_INVALID_CHARS: when the line is invalid in that page).
bool DecodeLine(CStringW& rString, std::string_view line, UINT codePage, DWORD dwFlags) {
  if (line.empty()) {
    rString.Empty();
    return true;
  }
  const int nUnits = kxu::platform::MultiByteToWideWhole(
      codePage, dwFlags, line.data(), kxu::platform::CheckedInt(line.size()),
      rString.GetAllocLength(), [&rString](int nRoom) { return rString.GetBuffer(nRoom); });
  rString.ReleaseBuffer(nUnits);
  return nUnits != 0;
}

// Makes `rString` hold the UTF-8 form of `wide`.
void AssignUtf8Of(CStringUTF8& rString, const CStringW& wide) {
  const std::basic_string_view<WCHAR> units(wide.GetString(),
                                            static_cast<std::size_t>(wide.GetLength()));
  AssignBytes(rString, kxu::platform::Utf16ToUtf8(units));
}

}  // namespace

CZUNICODETextStdioFile::CZUNICODETextStdioFile(int /*nMode*/) noexcept {}

CZUNICODETextStdioFile::~CZUNICODETextStdioFile() = default;

BOOL CZUNICODETextStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  m_encoding = Encoding::kUndecided;
  return CStdioFile::Open(lpszFileName, nOpenFlags, pError);
}

void CZUNICODETextStdioFile::DecideEncoding() {
  char head[kLongestMark] = {};
  const UINT nRead = Read(head, kLongestMark);
  const auto found = kxu::platform::ByteOrderMarkOf(std::string_view(head, nRead));
  switch (found.mark) {
    case kxu::platform::ByteOrderMark::kUtf16LE:
      m_encoding = Encoding::kUtf16LE;
      break;
    case kxu::platform::ByteOrderMark::kUtf16BE:
      m_encoding = Encoding::kUtf16BE;
      break;
    case kxu::platform::ByteOrderMark::kUtf8:
    case kxu::platform::ByteOrderMark::kNone:
      m_encoding = Encoding::kBytes;
      break;
  }
  Seek(static_cast<LONGLONG>(found.nSize), CFile::begin);
}

CZUNICODETextStdioFile::Encoding CZUNICODETextStdioFile::DecidedEncoding() {
  if (m_encoding == Encoding::kUndecided) DecideEncoding();
  return m_encoding;
}

BOOL CZUNICODETextStdioFile::ReadString(CStringW& rString) {
  if (DecidedEncoding() == Encoding::kBytes) return ReadBytesLine(rString);
  return ReadUtf16Line(rString);
}

BOOL CZUNICODETextStdioFile::ReadUtf8String(CStringUTF8& rString) {
  if (DecidedEncoding() != Encoding::kBytes) return ReadUtf16LineAsUtf8(rString);
  if (!ReadNextLine()) return FALSE;
  const std::string_view bytes = LineBytes();
  if (IsValidUtf8Line(bytes)) {
    AssignBytes(rString, bytes);
  } else {
    CStringW wide;
    DecodeLine(wide, bytes, FallbackCodePage(), 0);
    AssignUtf8Of(rString, wide);
  }
  return TRUE;
}

bool CZUNICODETextStdioFile::IsValidUtf8Line(std::string_view line) {
  const std::less_equal<const char*> notAfter;
  const bool bChanged = m_checked.nBufferChanges != BufferChanges();
  if (!bChanged && notAfter(m_checked.valid.data(), line.data()) &&
      notAfter(line.data() + line.size(), m_checked.valid.data() + m_checked.valid.size())) {
    return true;
  }
  if (bChanged) {
    // Once per fill of the buffer, the complete lines read ahead are checked
    // in one pass: a valid run of lines holds only valid lines, as a line end
    // is never part of a character. When the run is not valid, its lines are
    // checked one by one.
    const std::string_view ahead = ReadAhead();
    const std::size_t nLastEnd = ahead.rfind(kLineFeedByte);
    const std::string_view lines =
        ahead.substr(0, nLastEnd == std::string_view::npos ? 0 : nLastEnd);
    m_checked = {BufferChanges(), kxu::platform::IsValidUtf8(lines) ? lines : std::string_view()};
  }
  return kxu::platform::IsValidUtf8(line);
}

BOOL CZUNICODETextStdioFile::ReadUtf16LineAsUtf8(CStringUTF8& rString) {
  CStringW wide;
  if (!ReadUtf16Line(wide)) return FALSE;
  AssignUtf8Of(rString, wide);
  return TRUE;
}

BOOL CZUNICODETextStdioFile::ReadBytesLine(CStringW& rString) {
  if (!ReadNextLine()) return FALSE;
  const std::string_view line = LineBytes();
  if (!DecodeLine(rString, line, CP_UTF8, MB_ERR_INVALID_CHARS)) {
    DecodeLine(rString, line, FallbackCodePage(), 0);
  }
  return TRUE;
}

bool CZUNICODETextStdioFile::ReadUnit(WCHAR& unit) {
  BYTE pair[2];
  if (Read(pair, 2) != 2) return false;
  const BYTE high = m_encoding == Encoding::kUtf16BE ? pair[0] : pair[1];
  const BYTE low = m_encoding == Encoding::kUtf16BE ? pair[1] : pair[0];
  unit = static_cast<WCHAR>((high << 8) | low);
  return true;
}

BOOL CZUNICODETextStdioFile::ReadUtf16Line(CStringW& rString) {
  rString.Empty();
  WCHAR unit = 0;
  bool bAny = false;
  while (ReadUnit(unit)) {
    bAny = true;
    if (unit == kLineFeed) break;
    rString += unit;
  }
  const int nLength = rString.GetLength();
  if (unit == kLineFeed && nLength > 0 && rString[nLength - 1] == kCarriageReturn) {
    rString.Delete(nLength - 1);
  }
  return bAny ? TRUE : FALSE;
}

CZUTF8StdioFile::CZUTF8StdioFile() noexcept = default;

CZUTF8StdioFile::~CZUTF8StdioFile() = default;

void CZUTF8StdioFile::WriteUTF8String(const char* lpcszText) {
  WriteString(lpcszText);
}
