// CArchive: the framework's binary stream of values over a CFile, buffered,
// in one direction (loading or storing). Integers are little-endian.
//
// Reading a fixed-size value past the end of the data raises
// CArchiveException(endOfFile); Read() of a block returns the bytes it got.
// Writing to a loading archive raises CArchiveException(readOnly), reading
// from a storing one CArchiveException(writeOnly). The destructor flushes a
// storing archive unless it was made with bNoFlushOnDelete; a failure there
// is swallowed (call Close() to see it).
//
// The buffer holds at least 128 bytes: a smaller nBufSize is raised to 128,
// except for a caller's buffer (lpBuf), which must offer 128 bytes or more
// (else CInvalidArgException), as must pFile be given. Blocks of a buffer's
// size or more go straight between the caller and the file. The bytes are
// little-endian on every machine, so bNoByteSwap changes nothing.
//
// A loading archive reads ahead; Flush() and Close() move the file back to the
// first byte the archive has not handed out, so the file's position tells how
// far the data was used. Once closed or aborted the archive is detached: a
// read or write then raises CArchiveException(genericException), while
// Flush() and Close() do nothing.
#pragma once

#include <cstddef>

#include <kxutils96/platform/framework/afx_file.h>

class KXU_API CArchive {
 public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;
  ~CArchive();

  BOOL IsLoading() const noexcept { return (m_nMode & load) != 0; }
  BOOL IsStoring() const noexcept { return (m_nMode & load) == 0; }
  CFile* GetFile() const noexcept { return m_pFile; }

  // Reads up to `nMax` bytes; returns how many were read.
  UINT Read(void* lpBuf, UINT nMax);
  void Write(const void* lpBuf, UINT nMax);
  // Writes pending bytes to the file (storing) or drops read-ahead (loading).
  void Flush();
  // Flushes and detaches from the file (which stays open).
  void Close();
  // Detaches from the file without flushing.
  void Abort() noexcept;

  // The count of a collection: below 0xFFFF two bytes, else 0xFFFF and four.
  DWORD ReadCount();
  void WriteCount(DWORD dwCount);

  // Bytes the archive can still deliver before the end of its file, when the
  // file knows its length; -1 when it cannot tell (GetLength() or
  // GetPosition() raised CFileException or CNotSupportedException, or the
  // archive is detached). A storing archive raises CArchiveException(writeOnly).
  LONGLONG GetRemainingLength() const;

  CArchive& operator<<(BYTE by);
  CArchive& operator<<(char ch);
  CArchive& operator<<(WORD w);
  CArchive& operator<<(short n);
  CArchive& operator<<(DWORD dw);
  CArchive& operator<<(LONG l);
  CArchive& operator<<(LONGLONG n);
  CArchive& operator<<(ULONGLONG n);
  CArchive& operator<<(float f);
  CArchive& operator<<(double d);
  CArchive& operator>>(BYTE& by);
  CArchive& operator>>(char& ch);
  CArchive& operator>>(WORD& w);
  CArchive& operator>>(short& n);
  CArchive& operator>>(DWORD& dw);
  CArchive& operator>>(LONG& l);
  CArchive& operator>>(LONGLONG& n);
  CArchive& operator>>(ULONGLONG& n);
  CArchive& operator>>(float& f);
  CArchive& operator>>(double& d);

 private:
  template <class T>
  CArchive& WriteValue(T value);
  template <class T>
  CArchive& ReadValue(T& value);
  // Moves the unread bytes to the start of the buffer and reads from the file
  // until `nBytesNeeded` are buffered or the file ends; returns the count buffered.
  size_t FillBuffer(size_t nBytesNeeded);
  // Reads straight from the file into the caller's block; returns the count read.
  UINT ReadFromFile(BYTE* lpBuf, UINT nMax);
  // Hands the buffered bytes of a storing archive to the file.
  void WriteBuffer();
  CFile& File() const;
  void RequireLoading() const;
  void RequireStoring() const;
  [[noreturn]] void ThrowArchiveError(int cause) const;

  // Loading: [m_lpBufCur, m_lpBufMax) are the bytes read ahead. Storing:
  // [m_lpBufStart, m_lpBufCur) wait for the file and m_lpBufMax ends the room.
  // A detached archive has no room and nothing buffered, so that every access
  // reaches the slow path, which finds no file.
  CFile* m_pFile;
  UINT m_nMode;
  BYTE* m_lpBufStart;
  BYTE* m_lpBufMax;
  BYTE* m_lpBufCur;
  UINT m_nBufSize;
  bool m_bUserBuf;
};

// String lengths as the framework stores them: below 0xFF one byte; else 0xFF
// and, below 0xFFFE, two bytes; else 0xFF 0xFFFF and, below 0xFFFFFFFF, four
// bytes; else 0xFF 0xFFFF 0xFFFFFFFF and eight. A wide string is tagged first
// with 0xFF 0xFFFE. Reading reports the character size (1, or 2 when tagged);
// an eight-byte length that does not fit in 32 bits raises
// CArchiveException(genericException).
KXU_API UINT AfxReadStringLength(CArchive& ar, int& nCharSize);
KXU_API void AfxWriteStringLength(CArchive& ar, UINT_PTR nLength, BOOL bUnicode);
