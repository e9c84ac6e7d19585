// CFile's members that talk to the system, over POSIX descriptors: the
// sharing modes become flock(2) locks (see afx_file.h).
#include <kxutils96/platform/framework/afx_file_system.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <optional>
#include <string>

#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/win32/native_path.h>

using namespace kxu::platform;

static_assert(SEEK_SET == CFile::begin && SEEK_CUR == CFile::current && SEEK_END == CFile::end,
              "CFile's seek origins are passed to lseek as they are");

namespace {

int CauseOfErrno(int osError) {
  switch (osError) {
    case ENOENT:
      return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return CFileException::badPath;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return CFileException::accessDenied;
    case EMFILE:
    case ENFILE:
      return CFileException::tooManyOpenFiles;
    case EBADF:
      return CFileException::invalidFile;
    case EWOULDBLOCK:
      return CFileException::sharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return CFileException::diskFull;
    case EIO:
      return CFileException::hardIO;
    default:
      return CFileException::genericException;
  }
}

FileOpenFailure FailureOfOpen(const std::string& path, int osError) {
  // The system says ENOENT both for a missing file and for a missing folder.
  if (osError == ENOENT && !IsFolder(ParentFolder(path))) {
    return {CFileException::badPath, osError};
  }
  return {CauseOfErrno(osError), osError};
}

// The open(2) access mode for the flags, or -1 when they name none.
int AccessMode(UINT nOpenFlags) {
  switch (nOpenFlags & 0x3) {
    case CFile::modeRead:
      return O_RDONLY;
    case CFile::modeWrite:
      return O_WRONLY;
    case CFile::modeReadWrite:
      return O_RDWR;
    default:
      return -1;
  }
}

// The flock(2) operation the sharing mode asks for: 0 for none, -1 when the
// flags name no sharing mode.
int LockOperation(UINT nOpenFlags) {
  const bool writing = (nOpenFlags & 0x3) != CFile::modeRead;
  switch (nOpenFlags & 0x70) {
    case CFile::shareCompat:
    case CFile::shareExclusive:
      return writing ? LOCK_EX | LOCK_NB : 0;
    case CFile::shareDenyWrite:
    case CFile::shareDenyRead:
      return LOCK_SH | LOCK_NB;
    case CFile::shareDenyNone:
      return 0;
    default:
      return -1;
  }
}

// Reads the opened file's type into `mode`; a directory is refused.
std::optional<FileOpenFailure> RefuseDirectory(int fd, mode_t& mode) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return FileOpenFailure{CauseOfErrno(errno), errno};
  mode = info.st_mode;
  if (S_ISDIR(mode)) return FileOpenFailure{CFileException::accessDenied, EISDIR};
  return std::nullopt;
}

std::optional<FileOpenFailure> LockForSharing(int fd, int operation) {
  if (operation == 0 || RetryOnInterrupt([&] { return ::flock(fd, operation); }) == 0) {
    return std::nullopt;
  }
  return FileOpenFailure{CauseOfErrno(errno), errno};
}

// modeCreate empties an existing file unless modeNoTruncate keeps it. A file
// opened only for reading is truncated through its name. Devices and pipes
// have no length to cut.
std::optional<FileOpenFailure> TruncateIfAsked(int fd, mode_t mode, const std::string& path,
                                               UINT nOpenFlags) {
  if ((nOpenFlags & CFile::modeCreate) == 0 || (nOpenFlags & CFile::modeNoTruncate) != 0 ||
      !S_ISREG(mode)) {
    return std::nullopt;
  }
  const bool readOnly = (nOpenFlags & 0x3) == CFile::modeRead;
  const int result =
      RetryOnInterrupt([&] { return readOnly ? ::truncate(path.c_str(), 0) : ::ftruncate(fd, 0); });
  if (result == 0) return std::nullopt;
  return FileOpenFailure{CauseOfErrno(errno), errno};
}

// Makes reads and writes of `fd`, opened without waiting, wait as usual.
std::optional<FileOpenFailure> WaitFromNowOn(int fd) {
  const int status = ::fcntl(fd, F_GETFL);
  if (status >= 0 && ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0) return std::nullopt;
  return FileOpenFailure{CauseOfErrno(errno), errno};
}

// Opens `path` as the flags ask: the descriptor, or the reason it failed. The
// open never waits for the other end of a pipe (a pipe no one writes reads as
// ended; one no one reads cannot be opened for writing), as on Windows, where
// opening a file never waits. The lock comes before the truncation so that a
// refused open changes nothing.
std::optional<FileOpenFailure> OpenDescriptor(const std::string& path, UINT nOpenFlags, int& fd) {
  const int access = AccessMode(nOpenFlags);
  const int lock = LockOperation(nOpenFlags);
  if (access < 0 || lock < 0) return FileOpenFailure{CFileException::genericException, EINVAL};

  const int flags = access | O_NONBLOCK | ((nOpenFlags & CFile::modeCreate) != 0 ? O_CREAT : 0) |
                    ((nOpenFlags & CFile::modeNoInherit) != 0 ? O_CLOEXEC : 0);
  fd = RetryOnInterrupt([&] { return ::open(path.c_str(), flags, 0666); });
  if (fd < 0) return FailureOfOpen(path, errno);

  mode_t mode = 0;
  std::optional<FileOpenFailure> failure = WaitFromNowOn(fd);
  if (!failure) failure = RefuseDirectory(fd, mode);
  if (!failure) failure = LockForSharing(fd, lock);
  if (!failure) failure = TruncateIfAsked(fd, mode, path, nOpenFlags);
  if (failure) ::close(fd);
  return failure;
}

}  // namespace

namespace kxu::platform {

std::optional<FileOpenFailure> OpenFileHandle(LPCTSTR lpszFileName, UINT nOpenFlags,
                                              INT_PTR& handle) {
  int fd = -1;
  std::optional<FileOpenFailure> failure = OpenDescriptor(NativePath(lpszFileName), nOpenFlags, fd);
  if (!failure) handle = fd;
  return failure;
}

LONG ClosedFileError() noexcept {
  return EBADF;
}

}  // namespace kxu::platform

void CFile::ThrowLastError() const {
  const int osError = errno;
  // EBADF on an open file means it was not opened for that kind of access.
  const bool wrongAccess = osError == EBADF && IsOpen();
  ThrowError(wrongAccess ? CFileException::accessDenied : CauseOfErrno(osError), osError);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  RequireBuffer(lpBuf);
  auto* out = static_cast<BYTE*>(lpBuf);
  UINT done = 0;
  while (done < nCount) {
    const ssize_t got =
        RetryOnInterrupt([&] { return ::read(Handle(), out + done, nCount - done); });
    if (got < 0) ThrowLastError();
    if (got == 0) break;
    done += static_cast<UINT>(got);
  }
  return done;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  RequireBuffer(lpBuf);
  const auto* in = static_cast<const BYTE*>(lpBuf);
  UINT done = 0;
  while (done < nCount) {
    const ssize_t put =
        RetryOnInterrupt([&] { return ::write(Handle(), in + done, nCount - done); });
    if (put == 0) errno = ENOSPC;  // a write that makes no progress has no room left
    if (put <= 0) ThrowLastError();
    done += static_cast<UINT>(put);
  }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (nFrom > end) ThrowError(CFileException::badSeek, EINVAL);
  const off_t position = ::lseek(Handle(), lOff, static_cast<int>(nFrom));
  if (position < 0) {
    const int osError = errno;
    const bool badTarget = osError == EINVAL || osError == EOVERFLOW || osError == ESPIPE;
    ThrowError(badTarget ? CFileException::badSeek : CauseOfErrno(osError), osError);
  }
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const {
  const off_t position = ::lseek(Handle(), 0, SEEK_CUR);
  if (position < 0) ThrowLastError();
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const {
  struct stat info {};
  if (::fstat(Handle(), &info) != 0) ThrowLastError();
  return static_cast<ULONGLONG>(info.st_size);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  if (dwNewLen > static_cast<ULONGLONG>(std::numeric_limits<off_t>::max())) {
    ThrowError(CFileException::diskFull, EFBIG);
  }
  const auto length = static_cast<off_t>(dwNewLen);
  if (RetryOnInterrupt([&] { return ::ftruncate(Handle(), length); }) != 0) ThrowLastError();
  if (GetPosition() > dwNewLen) Seek(length, begin);
}

void CFile::Flush() {
  // Pipes and devices have nothing to put on a disk.
  if (::fsync(Handle()) != 0 && errno != EINVAL && errno != EROFS) ThrowLastError();
}

void CFile::Close() {
  if (!IsOpen()) return;
  const int fd = Handle();
  m_hFile = kNoHandle;
  // The descriptor is released even when close() reports an error (EINTR too),
  // so it is never retried.
  if (::close(fd) != 0 && errno != EINTR) ThrowLastError();
}

void CFile::Abort() noexcept {
  if (!IsOpen()) return;
  ::close(Handle());
  m_hFile = kNoHandle;
}
