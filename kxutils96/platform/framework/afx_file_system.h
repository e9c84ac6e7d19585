// What CFile's portable members (afx_file.cpp) and its members that talk to
// the operating system (posix/ or windows/afx_file_system.cpp) need from
// each other. Not exported; for the platform's file classes only.
#pragma once

#include <optional>

#include <kxutils96/platform/framework/afx_file.h>

namespace kxu::platform {

// Why an open failed: the CFileException cause and the system's error number.
struct FileOpenFailure {
  int cause;
  LONG osError;
};

// Opens `lpszFileName` as CFile::Open's flags ask and stores the system's
// handle in `handle`; returns the reason when it cannot (`handle` is then
// left alone). A null name is a missing file.
std::optional<FileOpenFailure> OpenFileHandle(LPCTSTR lpszFileName, UINT nOpenFlags,
                                              INT_PTR& handle);

// The system's error number for an operation on a file that is not open.
LONG ClosedFileError() noexcept;

// Raises CInvalidArgException for a null buffer; for reads and writes of a
// nonzero count.
void RequireBuffer(const void* lpBuf);

}  // namespace kxu::platform
