// The framework's file classes: CFile (unbuffered binary file), CMemFile (a
// file in memory) and CStdioFile (a buffered file read and written by lines).
//
// Paths are UTF-16; where a path meets the file system, both '\' and '/'
// separate directories. Open() reports failure through its result and, when
// given, the CFileException record; the constructors that take a path and
// every other operation raise CFileException (thrown as a pointer). A file
// left open is closed by the destructor, which never throws.
//
// Sharing modes, on POSIX: shareDenyWrite and shareDenyRead take a shared
// advisory lock, shareExclusive and shareCompat (no flag) an exclusive one
// when the file is opened for writing; a conflicting open fails with
// sharingViolation. The locks bind only processes that honour them (this
// library does); they cannot stop a program that ignores advisory locks.
// On Windows the system enforces them on every program: shareExclusive and
// shareCompat share the file with no other open, shareDenyWrite only with
// readers, shareDenyRead only with writers, shareDenyNone with both; an open
// that another open does not share with, or that would not share with the
// access another open holds, fails with sharingViolation.
//
// Failures of Open(), by cause:
//   fileNotFound     the file does not exist (and modeCreate was not given);
//   badPath          a folder on the way does not exist or is not a folder;
//   accessDenied     permission refused, or the name is a directory;
//   sharingViolation another open of the file holds a conflicting lock or
//                    sharing mode;
//   genericException flags that name no access or sharing mode (such as
//                    modeWrite | modeReadWrite), or the object is already open.
// m_lOsError carries the system's error number (errno on POSIX, the
// GetLastError() code on Windows; -1 when there is none). With modeCreate a
// regular file is truncated only once the sharing modes allow the open, so an
// open refused for sharing never loses the other holder's data; devices and
// pipes are not truncated. Open() never waits for the other end of a named
// pipe: one that no one writes opens and reads as ended, and one that no one
// reads cannot be opened for writing (genericException); reads and writes
// afterwards wait as usual. modeNoInherit keeps the file from programs this
// process starts (close-on-exec; a handle they do not inherit on Windows).
// GetFilePath() is the name as given to Open().
//
// After Open(): an operation on a closed file raises invalidFile, a read or
// write the open mode does not allow raises accessDenied; a seek to a
// negative position raises badSeek; a full disk raises diskFull; a null buffer
// with a nonzero count raises CInvalidArgException. A seek past the end is
// allowed, and a later write fills the gap with zeros. SetLength() moves the
// position back to the new end when it was past it, and leaves it otherwise.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/framework/afx_object.h>
#include <kxutils96/platform/framework/afx_string.h>

class KXU_API CFile : public CObject {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition : UINT { begin = 0x0, current = 0x1, end = 0x2 };

  CFile() noexcept;
  // Opens the file or raises CFileException.
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  ~CFile() override;

  // Nonzero when the file opened; on failure fills `pError` when given.
  // typeText and typeBinary matter to CStdioFile only.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  // Reads up to `nCount` bytes; returns how many were read, fewer than asked
  // only at the end of the file (0 there).
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG dwNewLen);
  // Asks the system to put the file's data on the disk.
  virtual void Flush();
  // Closes the file (a closed file is left alone); raises CFileException
  // when pending data cannot be written.
  virtual void Close();
  // Closes the file, ignoring every failure.
  virtual void Abort() noexcept;
  virtual CString GetFilePath() const { return m_strFileName; }
  BOOL IsOpen() const noexcept { return m_hFile != kNoHandle; }

 protected:
  static constexpr INT_PTR kNoHandle = -1;

  // Opens through the virtual Open() or raises its CFileException; for the
  // constructors that take a path.
  void OpenOrThrow(LPCTSTR lpszFileName, UINT nOpenFlags);
  // Raises CFileException for the system's current error (errno on POSIX,
  // GetLastError() on Windows).
  [[noreturn]] void ThrowLastError() const;
  [[noreturn]] void ThrowError(int cause, int osError) const;
#if defined(_WIN32)
  void* Handle() const noexcept {
    return reinterpret_cast<void*>(m_hFile);  // NOLINT(performance-no-int-to-ptr)
  }
#else
  int Handle() const noexcept {
    return static_cast<int>(m_hFile);
  }
#endif

  INT_PTR m_hFile = kNoHandle;  // the system's handle: a descriptor on POSIX, a HANDLE on Windows
  CString m_strFileName;
};

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

// A buffered file read and written by lines. In text mode (the default, and
// typeText) ReadString drops a line's CR LF or LF; typeBinary keeps the CR
// (typeBinary wins when both are given). A CR not followed by LF stays in the
// line. A last line without a line end is still a line; an empty file has
// none. WriteString writes the text as it is (no line-end translation).
// Narrow lines are bytes; wide lines are the file's UTF-8 decoded to UTF-16,
// or, for a line that is not valid UTF-8, each byte as one unit (Latin-1).
// Wide text is written as UTF-8. A null string raises CInvalidArgException.
//
// Reads and writes go through one buffer of the object's own; position,
// length, seeks and SetLength() see the buffered bytes as if they were in the
// file. Flush() hands pending bytes to the system (it does not wait for the
// disk). Close() writes them first; when that fails the file is still closed
// and the CFileException raised.
class KXU_API CStdioFile : public CFile {
 public:
  CStdioFile() noexcept;
  CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  ~CStdioFile() override;

  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetPosition() const override;
  ULONGLONG GetLength() const override;
  void SetLength(ULONGLONG dwNewLen) override;
  void Flush() override;
  void Close() override;
  void Abort() noexcept override;

  // The next line without its line end; FALSE at the end of the file.
  BOOL ReadString(CStringA& rString);
  BOOL ReadString(CStringW& rString);
  void WriteString(LPCSTR lpsz);
  void WriteString(LPCWSTR lpsz);

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;

  // Reads the next line's bytes without its line end; false at the end.
  bool ReadLine(std::string& line);
  void WriteText(std::string_view text);
  // Copies up to `nCount` read-ahead bytes to `lpBuf`; returns how many.
  size_t TakeBuffered(BYTE* lpBuf, size_t nCount) noexcept;
  // Reads the next bytes of the file into the empty buffer; false at the end.
  bool FillBuffer();
  // Hands the pending bytes to the system; the buffer is then empty.
  void WritePending();
  // Turns the buffer to reading; pending bytes are written first.
  void BeginReading();
  // Turns the buffer to writing; the read-ahead is given back to the file
  // first. Raises invalidFile on a closed file.
  void BeginWriting();
  // Empties the buffer so that the system's file position is the logical one.
  void SyncPosition();
  void ResetBuffer() noexcept;
  BYTE* Buffer();

  std::unique_ptr<BYTE[]> m_pBuffer;  // allocated on first use
  size_t m_nBufferLen = 0;            // bytes read ahead, or bytes waiting to be written
  size_t m_nBufferPos = 0;            // next unread byte when reading
  bool m_bWriting = false;            // the buffer holds pending writes
  bool m_bText = true;
};
