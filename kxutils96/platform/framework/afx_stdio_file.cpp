#include <kxutils96/platform/framework/afx_stdio_file.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_file_system.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/text/unicode.h>

using namespace kxu::platform;

CStdioFile::CStdioFile() noexcept = default;

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
  OpenOrThrow(lpszFileName, nOpenFlags);
}

CStdioFile::~CStdioFile() {
  kxu::platform::DeletingFrameworkExceptions([this] { Close(); });
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (!CFile::Open(lpszFileName, nOpenFlags, pError)) return FALSE;
  ResetBuffer();
  m_bText = (nOpenFlags & typeBinary) == 0;
  return TRUE;
}

BYTE* CStdioFile::Buffer() {
  if (!m_pBuffer) {
    m_pBuffer.reset(new (std::nothrow) BYTE[kBufferSize]);
    if (!m_pBuffer) AfxThrowMemoryException();
  }
  return m_pBuffer.get();
}

void CStdioFile::ResetBuffer() noexcept {
  m_nBufferLen = m_nBufferPos = 0;
  m_bWriting = false;
}

void CStdioFile::WritePending() {
  const size_t pending = m_nBufferLen;
  // Emptied first: after a failed write the same bytes are not written twice.
  m_nBufferLen = 0;
  CFile::Write(m_pBuffer.get(), static_cast<UINT>(pending));
}

void CStdioFile::BeginReading() {
  if (!m_bWriting) return;
  WritePending();
  m_bWriting = false;
}

void CStdioFile::BeginWriting() {
  if (m_bWriting) return;
  if (!IsOpen()) ThrowError(CFileException::invalidFile, kxu::platform::ClosedFileError());
  SyncPosition();
  m_bWriting = true;
  ++m_nBufferChanges;
}

void CStdioFile::SyncPosition() {
  BeginReading();
  const size_t unread = m_nBufferLen - m_nBufferPos;
  m_nBufferLen = m_nBufferPos = 0;
  if (unread != 0) CFile::Seek(-static_cast<LONGLONG>(unread), current);
}

bool CStdioFile::FillBuffer() {
  BeginReading();
  m_nBufferPos = 0;
  m_nBufferLen = CFile::Read(Buffer(), kBufferSize);
  ++m_nBufferChanges;
  return m_nBufferLen != 0;
}

size_t CStdioFile::TakeBuffered(BYTE* lpBuf, size_t nCount) noexcept {
  const size_t count = std::min(nCount, m_nBufferLen - m_nBufferPos);
  if (count != 0) std::memcpy(lpBuf, m_pBuffer.get() + m_nBufferPos, count);
  m_nBufferPos += count;
  return count;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  RequireBuffer(lpBuf);
  BeginReading();
  auto* out = static_cast<BYTE*>(lpBuf);
  size_t done = TakeBuffered(out, nCount);
  while (done < nCount) {
    const size_t left = nCount - done;
    // A large block goes straight to the caller rather than through the buffer.
    if (left >= kBufferSize)
      return static_cast<UINT>(done + CFile::Read(out + done, static_cast<UINT>(left)));
    if (!FillBuffer()) break;
    done += TakeBuffered(out + done, left);
  }
  return static_cast<UINT>(done);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  RequireBuffer(lpBuf);
  BeginWriting();
  if (m_nBufferLen + nCount > kBufferSize) WritePending();
  if (nCount >= kBufferSize) {
    CFile::Write(lpBuf, nCount);
    return;
  }
  std::memcpy(Buffer() + m_nBufferLen, lpBuf, nCount);
  m_nBufferLen += nCount;
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom) {
  SyncPosition();
  return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const {
  const ULONGLONG position = CFile::GetPosition();
  return m_bWriting ? position + m_nBufferLen : position - (m_nBufferLen - m_nBufferPos);
}

ULONGLONG CStdioFile::GetLength() const {
  const ULONGLONG length = CFile::GetLength();
  // Pending bytes go at the system's position and may lie past its end.
  return m_bWriting ? std::max(length, CFile::GetPosition() + m_nBufferLen) : length;
}

void CStdioFile::SetLength(ULONGLONG dwNewLen) {
  SyncPosition();
  CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush() {
  if (m_bWriting) WritePending();
}

void CStdioFile::Close() {
  if (!IsOpen()) return;
  try {
    Flush();
  } catch (CException*) {
    Abort();
    throw;
  }
  ResetBuffer();
  CFile::Close();
}

void CStdioFile::Abort() noexcept {
  ResetBuffer();
  CFile::Abort();
}

bool CStdioFile::ReadNextLine() {
  // A line that lies wholly in the read-ahead is shown where it lies; only a
  // line that spans refills is gathered into m_line.
  BeginReading();
  m_line.clear();
  m_lineView = {};
  bool gotBytes = false;
  for (;;) {
    if (m_nBufferPos == m_nBufferLen && !FillBuffer()) {
      m_lineView = m_line;
      return gotBytes;
    }
    gotBytes = true;
    const auto* start = reinterpret_cast<const char*>(m_pBuffer.get()) + m_nBufferPos;
    const size_t available = m_nBufferLen - m_nBufferPos;
    const auto* lineEnd = static_cast<const char*>(std::memchr(start, '\n', available));
    if (lineEnd == nullptr) {
      m_line.append(start, available);
      m_nBufferPos = m_nBufferLen;
      continue;
    }
    m_nBufferPos += static_cast<size_t>(lineEnd - start) + 1;
    if (m_line.empty()) {
      m_lineView = std::string_view(start, lineEnd);
    } else {
      m_line.append(start, lineEnd);
      m_lineView = m_line;
    }
    if (m_bText && m_lineView.ends_with('\r')) m_lineView.remove_suffix(1);
    return true;
  }
}

std::string_view CStdioFile::ReadAhead() const noexcept {
  if (m_bWriting || m_nBufferPos == m_nBufferLen) return {};
  return {reinterpret_cast<const char*>(m_pBuffer.get()) + m_nBufferPos,
          m_nBufferLen - m_nBufferPos};
}

namespace {

// A line's bytes as UTF-16: decoded when they are UTF-8, else one unit per byte.
std::basic_string<WCHAR> WidenLine(std::string_view line) {
  if (kxu::platform::IsValidUtf8(line)) return kxu::platform::Utf8ToUtf16(line);
  std::basic_string<WCHAR> wide(line.size(), WCHAR{});
  std::transform(line.begin(), line.end(), wide.begin(),
                 [](char byte) { return static_cast<WCHAR>(static_cast<unsigned char>(byte)); });
  return wide;
}

}  // namespace

BOOL CStdioFile::ReadString(CStringA& rString) {
  const bool gotLine = ReadNextLine();
  // Into the string's own buffer, which keeps its room from line to line.
  const int nLength = kxu::platform::CheckedInt(m_lineView.size());
  m_lineView.copy(rString.GetBuffer(nLength), m_lineView.size());
  rString.ReleaseBuffer(nLength);
  return gotLine ? TRUE : FALSE;
}

BOOL CStdioFile::ReadString(CStringW& rString) {
  const bool gotLine = ReadNextLine();
  const std::basic_string<WCHAR> wide = WidenLine(m_lineView);
  rString = CStringW(wide.data(), kxu::platform::CheckedInt(wide.size()));
  return gotLine ? TRUE : FALSE;
}

void CStdioFile::WriteText(std::string_view text) {
  // Written in pieces a UINT can count.
  for (size_t done = 0; done < text.size();) {
    const size_t piece = std::min<size_t>(text.size() - done, std::numeric_limits<UINT>::max());
    Write(text.data() + done, static_cast<UINT>(piece));
    done += piece;
  }
}

void CStdioFile::WriteString(LPCSTR lpsz) {
  if (lpsz == nullptr) AfxThrowInvalidArgException();
  WriteText(lpsz);
}

void CStdioFile::WriteString(LPCWSTR lpsz) {
  if (lpsz == nullptr) AfxThrowInvalidArgException();
  WriteText(kxu::platform::Utf16ToUtf8(lpsz));
}
