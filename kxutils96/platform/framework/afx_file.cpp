#include <kxutils96/platform/framework/afx_file.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include <kxutils96/platform/framework/afx_file_system.h>
#include <kxutils96/platform/framework/framework_exceptions.h>
#include <kxutils96/platform/win32/unicode.h>

using kxu::platform::RequireBuffer;

namespace kxu::platform {

void RequireBuffer(const void* lpBuf) {
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
}

}  // namespace kxu::platform

// ---------------------------------------------------------------------------
// CFile (the members that talk to the system are in afx_file_system.cpp)

CFile::CFile() noexcept = default;

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
  OpenOrThrow(lpszFileName, nOpenFlags);
}

CFile::~CFile() {
  if (IsOpen()) CFile::Abort();
}

void CFile::OpenOrThrow(LPCTSTR lpszFileName, UINT nOpenFlags) {
  CFileException error;
  if (!Open(lpszFileName, nOpenFlags, &error)) {
    AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
  }
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  CString name(lpszFileName);  // made first: once the file is open nothing may throw
  INT_PTR handle = kNoHandle;
  const std::optional<kxu::platform::FileOpenFailure> failure =
      IsOpen() ? kxu::platform::FileOpenFailure{CFileException::genericException, -1}
               : kxu::platform::OpenFileHandle(lpszFileName, nOpenFlags, handle);
  if (!failure) {
    m_hFile = handle;
    m_strFileName = std::move(name);
    return TRUE;
  }
  if (pError != nullptr) {
    pError->m_cause = failure->cause;
    pError->m_lOsError = failure->osError;
    pError->m_strFileName = std::move(name);
  }
  return FALSE;
}

void CFile::ThrowError(int cause, int osError) const {
  AfxThrowFileException(cause, osError, m_strFileName);
}

// ---------------------------------------------------------------------------
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes) noexcept : m_nGrowBytes(nGrowBytes) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) noexcept
    : m_nGrowBytes(nGrowBytes) {
  UseCallerBuffer(lpBuffer, lpBuffer != nullptr ? nBufferSize : 0, nGrowBytes);
}

CMemFile::~CMemFile() {
  Release();
}

void CMemFile::UseCallerBuffer(BYTE* lpBuffer, size_t nBufferSize, UINT nGrowBytes) noexcept {
  m_lpBuffer = lpBuffer;
  m_nBufferSize = nBufferSize;
  m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
  m_nPosition = 0;
  m_nGrowBytes = nGrowBytes;
  m_bAutoDelete = false;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
  if (lpBuffer == nullptr && nBufferSize != 0) AfxThrowInvalidArgException();
  Release();
  UseCallerBuffer(lpBuffer, nBufferSize, nGrowBytes);
}

BYTE* CMemFile::Detach() noexcept {
  BYTE* buffer = m_lpBuffer;
  m_bAutoDelete = false;  // the caller takes the block: Release() must not free it
  Release();
  return buffer;
}

void CMemFile::Release() noexcept {
  if (m_bAutoDelete) std::free(m_lpBuffer);
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = true;
}

BOOL CMemFile::Open(LPCTSTR /*lpszFileName*/, UINT /*nOpenFlags*/, CFileException* /*pError*/) {
  AfxThrowNotSupportedException();
}

void CMemFile::GrowFile(size_t nNewLen) {
  if (nNewLen <= m_nBufferSize) return;
  if (m_nGrowBytes == 0) AfxThrowFileException(CFileException::diskFull);
  const size_t step = m_nGrowBytes;
  // No object may be larger than PTRDIFF_MAX; asking malloc for more is pointless.
  constexpr auto kLargest = static_cast<size_t>(std::numeric_limits<std::ptrdiff_t>::max());
  if (nNewLen > kLargest - step) AfxThrowMemoryException();
  const size_t newSize = (nNewLen + step - 1) / step * step;

  void* block = m_bAutoDelete ? std::realloc(m_lpBuffer, newSize) : std::malloc(newSize);
  if (block == nullptr) AfxThrowMemoryException();
  if (!m_bAutoDelete && m_nFileSize != 0) std::memcpy(block, m_lpBuffer, m_nFileSize);
  m_lpBuffer = static_cast<BYTE*>(block);
  m_nBufferSize = newSize;
  m_bAutoDelete = true;
}

void CMemFile::ZeroFillTo(size_t nNewEnd) noexcept {
  if (nNewEnd > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, nNewEnd - m_nFileSize);
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0 || m_nPosition >= m_nFileSize) return 0;
  RequireBuffer(lpBuf);
  const size_t count = std::min<size_t>(nCount, m_nFileSize - m_nPosition);
  std::memcpy(lpBuf, m_lpBuffer + m_nPosition, count);
  m_nPosition += count;
  return static_cast<UINT>(count);
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  RequireBuffer(lpBuf);
  if (nCount > std::numeric_limits<size_t>::max() - m_nPosition) AfxThrowMemoryException();
  const size_t newEnd = m_nPosition + nCount;
  GrowFile(newEnd);
  ZeroFillTo(m_nPosition);
  std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
  m_nPosition = newEnd;
  m_nFileSize = std::max(m_nFileSize, newEnd);
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
  LONGLONG base = 0;
  switch (nFrom) {
    case begin:
      break;
    case current:
      base = static_cast<LONGLONG>(m_nPosition);
      break;
    case end:
      base = static_cast<LONGLONG>(m_nFileSize);
      break;
    default:
      AfxThrowFileException(CFileException::badSeek);
  }
  LONGLONG position = 0;
  if (__builtin_add_overflow(base, lOff, &position) || position < 0) {
    AfxThrowFileException(CFileException::badSeek);
  }
  m_nPosition = static_cast<size_t>(position);
  return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen) {
  if (dwNewLen > std::numeric_limits<size_t>::max()) AfxThrowMemoryException();
  const auto length = static_cast<size_t>(dwNewLen);
  GrowFile(length);
  ZeroFillTo(length);
  m_nFileSize = length;
  m_nPosition = std::min(m_nPosition, length);
}

void CMemFile::Close() {
  Release();
}

void CMemFile::Abort() noexcept {
  Release();
}

// ---------------------------------------------------------------------------
// CStdioFile

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

bool CStdioFile::ReadLine(std::string& line) {
  line.clear();
  bool gotBytes = false;
  for (;;) {
    if (m_nBufferPos == m_nBufferLen && !FillBuffer()) return gotBytes;
    gotBytes = true;
    const auto* start = reinterpret_cast<const char*>(m_pBuffer.get()) + m_nBufferPos;
    const size_t available = m_nBufferLen - m_nBufferPos;
    const auto* lineEnd = static_cast<const char*>(std::memchr(start, '\n', available));
    if (lineEnd == nullptr) {
      line.append(start, available);
      m_nBufferPos = m_nBufferLen;
      continue;
    }
    line.append(start, lineEnd);
    m_nBufferPos += static_cast<size_t>(lineEnd - start) + 1;
    if (m_bText && !line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
}

namespace {

// A length as CStringT takes it; longer text cannot be held in one string.
int StringLength(size_t nLength) {
  if (nLength > static_cast<size_t>(std::numeric_limits<int>::max())) AfxThrowMemoryException();
  return static_cast<int>(nLength);
}

// A line's bytes as UTF-16: decoded when they are UTF-8, else one unit per byte.
std::basic_string<WCHAR> WidenLine(const std::string& line) {
  if (kxu::platform::IsValidUtf8(line)) return kxu::platform::Utf8ToUtf16(line);
  std::basic_string<WCHAR> wide(line.size(), WCHAR{});
  std::transform(line.begin(), line.end(), wide.begin(),
                 [](char byte) { return static_cast<WCHAR>(static_cast<unsigned char>(byte)); });
  return wide;
}

}  // namespace

BOOL CStdioFile::ReadString(CStringA& rString) {
  std::string line;
  const bool gotLine = ReadLine(line);
  rString = CStringA(line.data(), StringLength(line.size()));
  return gotLine ? TRUE : FALSE;
}

BOOL CStdioFile::ReadString(CStringW& rString) {
  std::string line;
  const bool gotLine = ReadLine(line);
  const std::basic_string<WCHAR> wide = WidenLine(line);
  rString = CStringW(wide.data(), StringLength(wide.size()));
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
