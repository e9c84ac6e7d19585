// The framework's unbuffered binary file, CFile, the base of CMemFile
// (afx_mem_file.h) and CStdioFile (afx_stdio_file.h).
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
