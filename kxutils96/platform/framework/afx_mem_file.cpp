#include <kxutils96/platform/framework/afx_mem_file.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <kxutils96/platform/framework/afx_file_system.h>

using namespace kxu::platform;

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
