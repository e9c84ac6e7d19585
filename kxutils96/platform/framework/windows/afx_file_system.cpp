// CFile's members that talk to the system, over Windows file handles: the
// sharing modes are the system's own share flags (see afx_file.h).
#include <kxutils96/platform/framework/afx_file_system.h>

#include <cstdint>
#include <limits>
#include <optional>

#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_file.h>
#include <kxutils96/platform/win32/windows/file_system.h>

using namespace kxu::platform;

namespace win = kxu::platform::windows;

namespace {

// The system's error numbers the causes need beyond those of win_error.h.
constexpr DWORD kErrorInvalidDrive = 15;
constexpr DWORD kErrorCurrentDirectory = 16;
constexpr DWORD kErrorWriteProtect = 19;
constexpr DWORD kErrorNotReady = 21;
constexpr DWORD kErrorCrc = 23;
constexpr DWORD kErrorSeek = 25;
constexpr DWORD kErrorWriteFault = 29;
constexpr DWORD kErrorReadFault = 30;
constexpr DWORD kErrorLockViolation = 33;
constexpr DWORD kErrorHandleEof = 38;
constexpr DWORD kErrorHandleDiskFull = 39;
constexpr DWORD kErrorBadNetPath = 53;
constexpr DWORD kErrorBadNetName = 67;
constexpr DWORD kErrorCannotMake = 82;
constexpr DWORD kErrorBrokenPipe = 109;
constexpr DWORD kErrorInvalidName = 123;
constexpr DWORD kErrorNegativeSeek = 131;
constexpr DWORD kErrorSeekOnDevice = 132;
constexpr DWORD kErrorBadPathname = 161;
constexpr DWORD kErrorFileTooLarge = 223;
constexpr DWORD kErrorIoDevice = 1117;

int CauseOfError(DWORD dwError) {
  switch (dwError) {
    case ERROR_FILE_NOT_FOUND:
      return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case kErrorInvalidDrive:
    case kErrorBadNetPath:
    case kErrorBadNetName:
    case kErrorInvalidName:
    case kErrorBadPathname:
    case ERROR_FILENAME_EXCED_RANGE:
      return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case kErrorWriteProtect:
      return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE:
      return CFileException::invalidFile;
    case kErrorCurrentDirectory:
      return CFileException::removeCurrentDir;
    case kErrorCannotMake:
      return CFileException::directoryFull;
    case kErrorSeek:
    case kErrorNegativeSeek:
    case kErrorSeekOnDevice:
      return CFileException::badSeek;
    case kErrorNotReady:
    case kErrorCrc:
    case kErrorWriteFault:
    case kErrorReadFault:
    case ERROR_GEN_FAILURE:
    case kErrorIoDevice:
      return CFileException::hardIO;
    case ERROR_SHARING_VIOLATION:
      return CFileException::sharingViolation;
    case kErrorLockViolation:
      return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case kErrorHandleDiskFull:
    case kErrorFileTooLarge:
      return CFileException::diskFull;
    case kErrorHandleEof:
      return CFileException::endOfFile;
    default:
      return CFileException::genericException;
  }
}

FileOpenFailure FailureOf(DWORD dwError) {
  return {CauseOfError(dwError), static_cast<LONG>(dwError)};
}

// The access the flags ask for; nothing when they name none.
std::optional<std::uint32_t> DesiredAccess(UINT nOpenFlags) {
  switch (nOpenFlags & 0x3) {
    case CFile::modeRead:
      return win::kGenericRead;
    case CFile::modeWrite:
      return win::kGenericWrite;
    case CFile::modeReadWrite:
      return win::kGenericRead | win::kGenericWrite;
    default:
      return std::nullopt;
  }
}

// What the open lets other opens of the file do; nothing when the flags name
// no sharing mode.
std::optional<std::uint32_t> ShareMode(UINT nOpenFlags) {
  switch (nOpenFlags & 0x70) {
    case CFile::shareCompat:
    case CFile::shareExclusive:
      return 0;
    case CFile::shareDenyWrite:
      return win::kFileShareRead;
    case CFile::shareDenyRead:
      return win::kFileShareWrite;
    case CFile::shareDenyNone:
      return win::kFileShareRead | win::kFileShareWrite;
    default:
      return std::nullopt;
  }
}

// modeCreate makes a missing file and empties an existing one, unless
// modeNoTruncate keeps it. The system checks the sharing modes before it
// empties the file.
std::uint32_t CreationDisposition(UINT nOpenFlags) {
  if ((nOpenFlags & CFile::modeCreate) == 0) return win::kOpenExisting;
  return (nOpenFlags & CFile::modeNoTruncate) != 0 ? win::kOpenAlways : win::kCreateAlways;
}

// Raises invalidFile for a file that is not open: the system would take its
// empty handle (-1) for the process itself.
void RequireOpen(const CFile& file) {
  if (!file.IsOpen()) {
    AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, file.GetFilePath());
  }
}

}  // namespace

namespace kxu::platform {

std::optional<FileOpenFailure> OpenFileHandle(LPCTSTR lpszFileName, UINT nOpenFlags,
                                              INT_PTR& handle) {
  const std::optional<std::uint32_t> access = DesiredAccess(nOpenFlags);
  const std::optional<std::uint32_t> share = ShareMode(nOpenFlags);
  if (!access || !share) {
    return FileOpenFailure{CFileException::genericException, ERROR_INVALID_PARAMETER};
  }
  // The system would call an empty name a missing folder.
  if (lpszFileName == nullptr || *lpszFileName == 0) return FailureOf(ERROR_FILE_NOT_FOUND);

  const bool bInherited = (nOpenFlags & CFile::modeNoInherit) == 0;
  HANDLE hFile =
      win::CreateFileW(lpszFileName, *access, *share, bInherited, CreationDisposition(nOpenFlags));
  if (hFile == INVALID_HANDLE_VALUE) return FailureOf(GetLastError());
  handle = reinterpret_cast<INT_PTR>(hFile);
  return std::nullopt;
}

LONG ClosedFileError() noexcept {
  return ERROR_INVALID_HANDLE;
}

}  // namespace kxu::platform

void CFile::ThrowLastError() const {
  const DWORD dwError = GetLastError();
  ThrowError(CauseOfError(dwError), static_cast<int>(dwError));
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  RequireBuffer(lpBuf);
  RequireOpen(*this);
  auto* out = static_cast<BYTE*>(lpBuf);
  UINT done = 0;
  while (done < nCount) {
    std::uint32_t got = 0;
    if (!win::ReadFile(Handle(), out + done, nCount - done, &got)) {
      if (GetLastError() == kErrorBrokenPipe) break;  // a pipe whose writer is gone has ended
      ThrowLastError();
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  RequireBuffer(lpBuf);
  RequireOpen(*this);
  const auto* in = static_cast<const BYTE*>(lpBuf);
  UINT done = 0;
  while (done < nCount) {
    std::uint32_t put = 0;
    if (!win::WriteFile(Handle(), in + done, nCount - done, &put)) ThrowLastError();
    // A write that makes no progress has no room left.
    if (put == 0) ThrowError(CFileException::diskFull, ERROR_DISK_FULL);
    done += put;
  }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (nFrom > end) ThrowError(CFileException::badSeek, ERROR_INVALID_PARAMETER);
  RequireOpen(*this);
  std::uint64_t position = 0;
  if (!win::SetFilePointerEx(Handle(), lOff, &position, nFrom)) {
    const DWORD dwError = GetLastError();
    // A target beyond the largest position the system takes is a bad seek too.
    const bool bBadTarget = dwError == ERROR_INVALID_PARAMETER;
    ThrowError(bBadTarget ? CFileException::badSeek : CauseOfError(dwError),
               static_cast<int>(dwError));
  }
  return position;
}

ULONGLONG CFile::GetPosition() const {
  RequireOpen(*this);
  std::uint64_t position = 0;
  if (!win::SetFilePointerEx(Handle(), 0, &position, current)) ThrowLastError();
  return position;
}

ULONGLONG CFile::GetLength() const {
  RequireOpen(*this);
  std::uint64_t length = 0;
  if (!win::GetFileSizeEx(Handle(), &length)) ThrowLastError();
  return length;
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  RequireOpen(*this);
  if (dwNewLen > static_cast<ULONGLONG>(std::numeric_limits<LONGLONG>::max())) {
    ThrowError(CFileException::diskFull, kErrorFileTooLarge);
  }
  // The system cuts or extends the file at the position.
  const ULONGLONG position = GetPosition();
  Seek(static_cast<LONGLONG>(dwNewLen), begin);
  if (!win::SetEndOfFile(Handle())) {
    const DWORD dwError = GetLastError();
    Seek(static_cast<LONGLONG>(position), begin);
    ThrowError(CauseOfError(dwError), static_cast<int>(dwError));
  }
  if (position < dwNewLen) Seek(static_cast<LONGLONG>(position), begin);
}

void CFile::Flush() {
  RequireOpen(*this);
  // Pipes and devices have nothing to put on a disk, and neither has a handle
  // that may not write (the system refuses it with ERROR_ACCESS_DENIED).
  if (!win::IsDiskFile(Handle()) || win::FlushFileBuffers(Handle())) return;
  if (GetLastError() != ERROR_ACCESS_DENIED) ThrowLastError();
}

void CFile::Close() {
  if (!IsOpen()) return;
  HANDLE hFile = Handle();
  m_hFile = kNoHandle;
  // The handle is released even when the system reports an error.
  if (!win::CloseHandle(hFile)) ThrowLastError();
}

void CFile::Abort() noexcept {
  if (!IsOpen()) return;
  win::CloseHandle(Handle());
  m_hFile = kNoHandle;
}
