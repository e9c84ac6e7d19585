// The framework's file in memory, CMemFile.
#pragma once

#include <cstddef>

#include <kxutils96/platform/framework/afx_file.h>

// A file held in memory. It owns a buffer it allocated itself (grown in steps
// of `nGrowBytes`), or works in a caller's buffer given to the constructor or
// to Attach (grown only when `nGrowBytes` is not 0, and then owned by the file).
//
// A caller's buffer: with nGrowBytes 0 the file is the buffer's nBufferSize
// bytes (data to read, or room to overwrite) and never grows; with nGrowBytes
// not 0 the file starts empty and uses the buffer as its first room. The file
// never frees or reallocates a caller's buffer: growing copies the data into
// a new block from malloc() that the file owns from then on. A write or
// SetLength() past the end of a buffer that may not grow raises
// CFileException(diskFull); nGrowBytes 0 on a buffer the file allocates
// itself means the file cannot grow at all. A failed allocation raises
// CMemoryException. A null caller buffer counts as an empty one (Attach
// raises CInvalidArgException for a null buffer with a nonzero size).
// A memory file has no name: Open() raises CNotSupportedException.
class KXU_API CMemFile : public CFile {
 public:
  explicit CMemFile(UINT nGrowBytes = 1024) noexcept;
  CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0) noexcept;
  ~CMemFile() override;

  void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  // Hands the buffer to the caller and empties the file. A block the file
  // allocated must be released with free(); a caller's buffer that never grew
  // comes back as it was given.
  BYTE* Detach() noexcept;

  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetPosition() const override { return m_nPosition; }
  ULONGLONG GetLength() const override { return m_nFileSize; }
  void SetLength(ULONGLONG dwNewLen) override;
  void Flush() override {}
  // Frees the buffer the file owns and empties the file.
  void Close() override;
  void Abort() noexcept override;

 private:
  // Makes room for `nNewLen` bytes, rounded up to a multiple of the growth step.
  void GrowFile(size_t nNewLen);
  // Zeroes the bytes between the end of the data and `nNewEnd`.
  void ZeroFillTo(size_t nNewEnd) noexcept;
  void UseCallerBuffer(BYTE* lpBuffer, size_t nBufferSize, UINT nGrowBytes) noexcept;
  void Release() noexcept;

  UINT m_nGrowBytes;
  size_t m_nPosition = 0;
  size_t m_nBufferSize = 0;
  size_t m_nFileSize = 0;
  BYTE* m_lpBuffer = nullptr;
  bool m_bAutoDelete = true;
};
