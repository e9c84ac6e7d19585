// The framework's exceptions. They are thrown as pointers (`throw new ...`,
// or a raiser such as AfxThrowArchiveException), caught as `CException*` and
// released with Delete(). The memory exception is one shared object that
// Delete() leaves alone, so that reporting a lack of memory needs none.
#pragma once

#include <kxutils96/platform/framework/afx_object.h>
#include <kxutils96/platform/framework/afx_string.h>

class KXU_API CException : public CObject {
 public:
  // Frees an exception that was allocated for throwing; shared ones stay.
  void Delete();

 protected:
  explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
  ~CException() override;

  BOOL m_bAutoDelete;
};

class KXU_API CMemoryException : public CException {
 public:
  CMemoryException() : CException(FALSE) {}
};

class KXU_API CInvalidArgException : public CException {
 public:
  CInvalidArgException() = default;
};

class KXU_API CNotSupportedException : public CException {
 public:
  CNotSupportedException() = default;
};

class KXU_API CFileException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class KXU_API CArchiveException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr);

  int m_cause;
  CString m_strFileName;
};

// An error code of the operating system's COM kind (an HRESULT) raised as an
// exception; the framework uses it for failures that have no class of their own,
// such as an arithmetic overflow (0x80070216).
class KXU_API COleException : public CException {
 public:
  explicit COleException(SCODE sc) : m_sc(sc) {}

  SCODE m_sc;
};

[[noreturn]] KXU_API void AfxThrowMemoryException();
[[noreturn]] KXU_API void AfxThrowInvalidArgException();
[[noreturn]] KXU_API void AfxThrowNotSupportedException();
[[noreturn]] KXU_API void AfxThrowFileException(int cause, LONG lOsError = -1,
                                                LPCTSTR lpszFileName = nullptr);
[[noreturn]] KXU_API void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);
[[noreturn]] KXU_API void AfxThrowOleException(SCODE sc);

// The HRESULT the framework raises when a size computation overflows.
inline constexpr SCODE kHResultArithmeticOverflow = static_cast<SCODE>(0x80070216u);
