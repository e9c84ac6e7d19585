#include <kxutils96/platform/framework/afx_exception.h>

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

CException::~CException() = default;

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName) {}

void AfxThrowMemoryException() {
  // One object for every thread, as the framework has it: it is never
  // written after its construction (a once-only initialisation), and its
  // Delete() does nothing, so threads may throw and catch it at once.
  static CMemoryException s_shared;
  throw &s_shared;
}

void AfxThrowInvalidArgException() {
  throw new CInvalidArgException;
}
void AfxThrowNotSupportedException() {
  throw new CNotSupportedException;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) {
  throw new CArchiveException(cause, lpszArchiveName);
}

void AfxThrowOleException(SCODE sc) {
  throw new COleException(sc);
}
