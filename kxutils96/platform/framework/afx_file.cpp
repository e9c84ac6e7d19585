#include <kxutils96/platform/framework/afx_file.h>

#include <optional>
#include <utility>

#include <kxutils96/platform/framework/afx_file_system.h>
#include <kxutils96/platform/text/unicode.h>

using namespace kxu::platform;

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
