#include <kxutils96/platform/win32/win_file.h>

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/native_path.h>
#include <kxutils96/platform/win32/path_parts.h>

using namespace kxu::platform;

namespace {

using WideString = std::basic_string<WCHAR>;
using WideView = std::basic_string_view<WCHAR>;

DWORD ErrorOfErrno(int osError) {
  switch (osError) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case ENXIO:  // a pipe that no one reads, a device that is not there
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    default:  // EIO and the failures the system has no better name for
      return ERROR_GEN_FAILURE;
  }
}

// Sets the last error for a failed call on `path`: the system says ENOENT
// both for a missing entry and for a missing folder on the way.
void SetErrorFor(const std::string& path, int osError) {
  if (osError == ENOENT && !IsFolder(ParentFolder(path))) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return;
  }
  SetLastError(ErrorOfErrno(osError));
}

bool IsDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

bool IsReadOnly(const struct stat& info) {
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

DWORD AttributesOf(std::string_view name, const struct stat& info) {
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!name.empty() && name.front() == '.' && !IsDotOrDotDot(name)) {
    attributes |= FILE_ATTRIBUTE_HIDDEN;
  }
  if (IsReadOnly(info)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kEpochDifference = 116444736000000000ULL;
constexpr ULONGLONG kIntervalsPerSecond = 10000000ULL;
constexpr long kNanosecondsPerInterval = 100;

FILETIME FileTimeOf(const struct timespec& time) {
  const ULONGLONG intervals = kEpochDifference +
                              static_cast<ULONGLONG>(time.tv_sec) * kIntervalsPerSecond +
                              static_cast<ULONGLONG>(time.tv_nsec / kNanosecondsPerInterval);
  return {static_cast<DWORD>(intervals), static_cast<DWORD>(intervals >> 32)};
}

// ---------------------------------------------------------------------------
// Wildcard patterns

// Folds letters for comparison with the system's Unicode tables (a locale of
// the C library that knows them; ASCII only when it has none).
class CaseFolder {
 public:
  CaseFolder() : m_locale(::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {}
  CaseFolder(const CaseFolder&) = delete;
  CaseFolder& operator=(const CaseFolder&) = delete;
  ~CaseFolder() {
    if (m_locale != nullptr) ::freelocale(m_locale);
  }

  WCHAR Fold(WCHAR unit) const {
    if (unit < 0x80 || m_locale == nullptr) {
      return unit >= u'a' && unit <= u'z' ? static_cast<WCHAR>(unit - u'a' + u'A') : unit;
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) return unit;  // halves of a pair stay as they are
    const wint_t upper = ::towupper_l(static_cast<wint_t>(unit), m_locale);
    return upper <= 0xFFFF ? static_cast<WCHAR>(upper) : unit;
  }

 private:
  locale_t m_locale;
};

const CaseFolder& Folder() {
  static const CaseFolder s_folder;
  return s_folder;
}

bool SameLetter(WCHAR a, WCHAR b) {
  return a == b || Folder().Fold(a) == Folder().Fold(b);
}

// '*' and '?' matching of the whole `name`, in time linear in its length
// for each '*' (the last '*' seen is the only one ever retried).
bool MatchesGlob(WideView name, WideView pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starPattern = WideView::npos;
  size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starPattern = p++;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || SameLetter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starPattern != WideView::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool MatchesPattern(WideView name, WideView pattern) {
  if (MatchesGlob(name, pattern)) return true;
  constexpr WideView kAnyExtension = u".*";
  return pattern.ends_with(kAnyExtension) &&
         MatchesGlob(name, pattern.substr(0, pattern.size() - kAnyExtension.size()));
}

// ---------------------------------------------------------------------------
// Directory searches

// A name's bytes in UTF-16, each byte that is not part of UTF-8 escaped as a
// lone surrogate, which NativePath turns back into that byte.
WideString NameOfBytes(std::string_view name) {
  return kxu::platform::Utf8ToUtf16(name, kxu::platform::InvalidInput::kEscape);
}

struct FoundEntry {
  WideString name;
  DWORD attributes;
  FILETIME created;
  FILETIME accessed;
  FILETIME written;
  ULONGLONG size;
};

struct Search {
  std::vector<FoundEntry> entries;
  size_t next = 0;
  DWORD endError = ERROR_NO_MORE_FILES;  // reported after the last entry
};

void Fill(const FoundEntry& entry, WIN32_FIND_DATAW& data) {
  data = WIN32_FIND_DATAW{};
  data.dwFileAttributes = entry.attributes;
  if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    data.dwReserved0 = IO_REPARSE_TAG_SYMLINK;
  data.ftCreationTime = entry.created;
  data.ftLastAccessTime = entry.accessed;
  data.ftLastWriteTime = entry.written;
  data.nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(entry.size);
  const size_t units = std::min<size_t>(entry.name.size(), MAX_PATH - 1);
  std::memcpy(data.cFileName, entry.name.data(), units * sizeof(WCHAR));
}

DWORD MarkedAsLink(DWORD attributes) {
  return (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_REPARSE_POINT;
}

// The entry `name` of the open folder `dirFd`, or false when it vanished. A
// link is seen as what it points to (as itself when that is nowhere) and
// marked as a link.
bool ReadEntry(int dirFd, const char* name, WideString wideName, FoundEntry& entry) {
  struct stat info {};
  if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  const bool link = S_ISLNK(info.st_mode);
  struct stat target {};
  if (link && ::fstatat(dirFd, name, &target, 0) == 0) info = target;
  entry.name = std::move(wideName);
  entry.attributes = AttributesOf(name, info);
  if (link) entry.attributes = MarkedAsLink(entry.attributes);
  entry.created = FileTimeOf(info.st_ctim);
  entry.accessed = FileTimeOf(info.st_atim);
  entry.written = FileTimeOf(info.st_mtim);
  entry.size = S_ISDIR(info.st_mode) ? 0 : static_cast<ULONGLONG>(info.st_size);
  return true;
}

// The name and kind of the listed entry `found` of the open folder `dirFd`,
// from the listing alone where it tells the kind (a link is looked through);
// where it does not, as ReadEntry reads it.
bool ReadKind(int dirFd, const dirent& found, WideString wideName, FoundEntry& entry) {
  if (found.d_type == DT_UNKNOWN) return ReadEntry(dirFd, found.d_name, std::move(wideName), entry);
  const bool link = found.d_type == DT_LNK;
  struct stat target {};
  const bool folder =
      found.d_type == DT_DIR ||
      (link && ::fstatat(dirFd, found.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode));
  struct stat kind {};
  kind.st_mode = (folder ? S_IFDIR : S_IFREG) | S_IWUSR;  // never reported read-only
  entry = FoundEntry{std::move(wideName), AttributesOf(found.d_name, kind), {}, {}, {}, 0};
  if (link) entry.attributes = MarkedAsLink(entry.attributes);
  return true;
}

// Reads the entries of `dir` that match `pattern` into `search`, each with
// the detail `level` asks for; false with the last error set when the folder
// cannot be opened.
bool ListFolder(const std::string& folder, WideView pattern, FINDEX_INFO_LEVELS level,
                Search& search) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    const int osError = errno;
    SetLastError(osError == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorOfErrno(osError));
    return false;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
  for (;;) {
    errno = 0;
    const dirent* found = ::readdir(dir);
    if (found == nullptr) {
      if (errno != 0) search.endError = ErrorOfErrno(errno);
      return true;
    }
    WideString name = NameOfBytes(found->d_name);
    if (!MatchesPattern(name, pattern)) continue;
    FoundEntry entry;
    const bool bRead = level == FindExInfoBasic
                           ? ReadKind(::dirfd(dir), *found, std::move(name), entry)
                           : ReadEntry(::dirfd(dir), found->d_name, std::move(name), entry);
    if (bRead) {
      search.entries.push_back(std::move(entry));
    }
  }
}

Search* SearchOf(HANDLE hFindFile) {
  if (hFindFile == nullptr || hFindFile == INVALID_HANDLE_VALUE) return nullptr;
  return static_cast<Search*>(hFindFile);
}

HANDLE StartSearch(LPCWSTR lpFileName, FINDEX_INFO_LEVELS level, WIN32_FIND_DATAW& data) {
  const std::string path = NativePath(lpFileName);
  const std::string_view folderPart = kxu::platform::FolderPart(path);
  const std::string folder = folderPart.empty() ? "." : std::string(folderPart);
  const WideString pattern = NameOfBytes(kxu::platform::NamePart(path));

  auto search = std::make_unique<Search>();
  if (!ListFolder(folder, pattern, level, *search)) return INVALID_HANDLE_VALUE;
  if (search->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Fill(search->entries[0], data);
  search->next = 1;
  return search.release();
}

// ---------------------------------------------------------------------------
// Copying files

// Where the data of a copy goes: a descriptor of the destination and whether
// this copy created it.
struct Destination {
  int fd = -1;
  bool created = false;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

constexpr mode_t kPermissionBits = 0777;

// Opens the destination for writing without cutting it yet: a name that
// reaches the source itself must not lose its data. A new file gets the
// permission bits `mode` (less those the process's file-creation mask
// takes away).
bool OpenDestination(const std::string& path, bool failIfExists, mode_t mode, Destination& out) {
  out.fd = RetryOnInterrupt(
      [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode); });
  if (out.fd >= 0) {
    out.created = true;
    return true;
  }
  if (errno != EEXIST || failIfExists) {
    if (errno == EEXIST) {
      SetLastError(IsFolder(path) ? ERROR_ACCESS_DENIED : ERROR_FILE_EXISTS);
    } else {
      SetErrorFor(path, errno);
    }
    return false;
  }
  // Without waiting: a pipe that no one reads refuses the open (ENXIO).
  out.fd =
      RetryOnInterrupt([&] { return ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); });
  if (out.fd < 0) SetErrorFor(path, errno);
  return out.fd >= 0;
}

// Writes the `nBytes` bytes at `pData` to `out`.
bool WriteAll(int out, const char* pData, size_t nBytes) {
  for (size_t done = 0; done < nBytes;) {
    const ssize_t put = RetryOnInterrupt([&] { return ::write(out, pData + done, nBytes - done); });
    if (put == 0) errno = ENOSPC;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

// Reads and writes through a buffer from the current positions to the end.
bool CopyThroughBuffer(int in, int out) {
  constexpr size_t kBufferSize = size_t{64} * 1024;  // small enough for the heap, not a mapping
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBufferSize]);
  if (!buffer) {
    errno = ENOMEM;
    return false;
  }
  for (;;) {
    const ssize_t got = RetryOnInterrupt([&] { return ::read(in, buffer.get(), kBufferSize); });
    if (got <= 0) return got == 0;
    if (!WriteAll(out, buffer.get(), static_cast<size_t>(got))) return false;
  }
}

// Files up to this size are read whole and written in one call: moving the
// data inside the system (copy_file_range) costs more than the data itself
// for files this small, which are most files of a source tree.
constexpr off_t kSmallFileBytes = off_t{16} * 1024;

// Copies at most the `nSize` bytes (at most kSmallFileBytes) the source had
// when it was opened, through a buffer on the stack, to its end if it shrank.
bool CopySmallFile(int in, int out, off_t nSize) {
  std::array<char, kSmallFileBytes> buffer;  // written by the reads before it is read
  const auto nWanted = static_cast<size_t>(nSize);
  size_t nGot = 0;
  while (nGot < nWanted) {
    const ssize_t got =
        RetryOnInterrupt([&] { return ::read(in, buffer.data() + nGot, nWanted - nGot); });
    if (got < 0) return false;
    if (got == 0) break;
    nGot += static_cast<size_t>(got);
  }
  return WriteAll(out, buffer.data(), nGot);
}

// True for the errors of copy_file_range that mean "not between these two
// files": the data can still go through a buffer.
bool CannotMoveInside(int osError) {
  return osError == EXDEV || osError == ENOSYS || osError == EINVAL || osError == EOPNOTSUPP ||
         osError == EPERM || osError == ETXTBSY;
}

// Copies the `nSize` bytes the source had when it was opened, moving them
// inside the system where it can (a file that shrinks meanwhile is copied to
// its new end); a small file goes through a buffer. A file system that
// cannot move the data, and a file that reports no size (which some virtual
// files do while holding data), go through a buffer to the end instead.
bool CopyData(int in, int out, off_t nSize) {
  if (nSize == 0) return CopyThroughBuffer(in, out);
  if (nSize <= kSmallFileBytes) return CopySmallFile(in, out, nSize);
  constexpr off_t kChunk = off_t{1} << 30;
  off_t nLeft = nSize;
  while (nLeft > 0) {
    const ssize_t copied = RetryOnInterrupt([&] {
      return ::copy_file_range(in, nullptr, out, nullptr,
                               static_cast<size_t>(std::min(nLeft, kChunk)), 0);
    });
    if (copied > 0) {
      nLeft -= copied;
    } else if (copied == 0) {
      return true;
    } else {
      return nLeft == nSize && CannotMoveInside(errno) && CopyThroughBuffer(in, out);
    }
  }
  return true;
}

// Gives the copy `out`, whose permission bits are those of `target`, the
// source's bits (where they differ) and times.
bool CopyMetadata(int out, const struct stat& source, const struct stat& target) {
  const mode_t mode = source.st_mode & kPermissionBits;
  const bool bModeKept = (target.st_mode & kPermissionBits) == mode || ::fchmod(out, mode) == 0;
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  return bModeKept && ::futimens(out, times) == 0;
}

// The copy once both files are open (`bCreated`: the destination is new and
// empty); the last error is set on failure.
bool CopyOpenFiles(int in, const struct stat& source, int out, bool bCreated) {
  struct stat target {};
  if (::fstat(out, &target) != 0) {
    SetLastError(ErrorOfErrno(errno));
    return false;
  }
  if (SameFile(source, target)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
  }
  if (!S_ISREG(target.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const bool bCutFailed = !bCreated && RetryOnInterrupt([&] { return ::ftruncate(out, 0); }) != 0;
  if (bCutFailed || !CopyData(in, out, source.st_size) || !CopyMetadata(out, source, target)) {
    SetLastError(ErrorOfErrno(errno));
    return false;
  }
  return true;
}

// Closes a descriptor when it goes away.
class ScopedDescriptor {
 public:
  explicit ScopedDescriptor(int fd) : m_fd(fd) {}
  ScopedDescriptor(const ScopedDescriptor&) = delete;
  ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;
  ~ScopedDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  int Get() const { return m_fd; }

 private:
  int m_fd;
};

// Opens the source for reading; only regular files are copied (a pipe or
// device is refused with ERROR_ACCESS_DENIED, without waiting for a writer).
int OpenSource(const std::string& path, struct stat& source) {
  const int fd =
      RetryOnInterrupt([&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) {
    SetErrorFor(path, errno);
    return -1;
  }
  if (::fstat(fd, &source) != 0 || !S_ISREG(source.st_mode)) {
    SetLastError(S_ISREG(source.st_mode) ? ErrorOfErrno(errno) : ERROR_ACCESS_DENIED);
    ::close(fd);
    return -1;
  }
  return fd;
}

BOOL CopyFileByPath(const std::string& from, const std::string& to, bool failIfExists) {
  struct stat source {};
  const ScopedDescriptor in(OpenSource(from, source));
  if (in.Get() < 0) return FALSE;
  Destination destination;
  // Writable by its owner while it is written, whatever the source's bits
  // (a network file system may refuse writes to a file made read-only);
  // CopyMetadata then gives it the source's bits.
  const mode_t createMode = (source.st_mode & kPermissionBits) | S_IWUSR;
  if (!OpenDestination(to, failIfExists, createMode, destination)) {
    return FALSE;
  }
  bool done = CopyOpenFiles(in.Get(), source, destination.fd, destination.created);
  if (::close(destination.fd) != 0 && done && errno != EINTR) {
    SetLastError(ErrorOfErrno(errno));
    done = false;
  }
  if (!done && destination.created) ::unlink(to.c_str());
  return done ? TRUE : FALSE;
}

BOOL CreateFolderByPath(const std::string& path) {
  constexpr mode_t kFolderMode = 0777;  // narrowed by the process's umask
  if (::mkdir(path.c_str(), kFolderMode) == 0) return TRUE;
  SetErrorFor(path, errno);
  if (GetLastError() == ERROR_FILE_NOT_FOUND) SetLastError(ERROR_PATH_NOT_FOUND);
  return FALSE;
}

BOOL DeleteFileByPath(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    SetErrorFor(path, errno);
    return FALSE;
  }
  if (S_ISDIR(info.st_mode) || (!S_ISLNK(info.st_mode) && IsReadOnly(info))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::unlink(path.c_str()) == 0) return TRUE;
  SetErrorFor(path, errno);
  return FALSE;
}

DWORD AttributesByPath(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return AttributesOf(LastName(path), info);
  SetErrorFor(path, errno);
  return INVALID_FILE_ATTRIBUTES;
}

BOOL IdentityByPath(const std::string& path, FILE_ID_INFO& id) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    SetErrorFor(path, errno);
    return FALSE;
  }
  id = FILE_ID_INFO{};
  id.VolumeSerialNumber = static_cast<ULONGLONG>(info.st_dev);
  const auto inode = static_cast<ULONGLONG>(info.st_ino);
  static_assert(sizeof(inode) <= sizeof(id.FileId));
  std::memcpy(id.FileId, &inode, sizeof(inode));
  return TRUE;
}

// The frame of every call below: missing arguments (`bArgumentsGiven`
// false) give ERROR_INVALID_PARAMETER and a failed allocation
// ERROR_NOT_ENOUGH_MEMORY, both with the call's failure value `failed`;
// otherwise the result of `call`, which sets the last error itself.
template <class Result, class Call>
Result GuardedCall(bool bArgumentsGiven, Result failed, Call call) noexcept {
  if (!bArgumentsGiven) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return failed;
  }
  try {
    return call();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failed;
  }
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR lpFileName, WIN32_FIND_DATAW* lpFindFileData) noexcept {
  return GuardedCall(lpFileName != nullptr && lpFindFileData != nullptr, INVALID_HANDLE_VALUE,
                     [&] { return StartSearch(lpFileName, FindExInfoStandard, *lpFindFileData); });
}

HANDLE FindFirstFileExW(LPCWSTR lpFileName, FINDEX_INFO_LEVELS fInfoLevelId,
                        WIN32_FIND_DATAW* lpFindFileData, FINDEX_SEARCH_OPS fSearchOp,
                        void* lpSearchFilter, DWORD dwAdditionalFlags) noexcept {
  const bool bArgumentsGiven =
      lpFileName != nullptr && lpFindFileData != nullptr &&
      (fInfoLevelId == FindExInfoStandard || fInfoLevelId == FindExInfoBasic) &&
      fSearchOp == FindExSearchNameMatch && lpSearchFilter == nullptr &&
      (dwAdditionalFlags & ~FIND_FIRST_EX_LARGE_FETCH) == 0;
  return GuardedCall(bArgumentsGiven, INVALID_HANDLE_VALUE,
                     [&] { return StartSearch(lpFileName, fInfoLevelId, *lpFindFileData); });
}

BOOL FindNextFileW(HANDLE hFindFile, WIN32_FIND_DATAW* lpFindFileData) noexcept {
  Search* search = SearchOf(hFindFile);
  if (search == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpFindFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (search->next >= search->entries.size()) {
    SetLastError(search->endError);
    return FALSE;
  }
  Fill(search->entries[search->next++], *lpFindFileData);
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) noexcept {
  Search* search = SearchOf(hFindFile);
  if (search == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete search;
  return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR lpPathName, SECURITY_ATTRIBUTES* lpSecurityAttributes) noexcept {
  return GuardedCall(lpPathName != nullptr && lpSecurityAttributes == nullptr, FALSE,
                     [&] { return CreateFolderByPath(NativePath(lpPathName)); });
}

BOOL DeleteFileW(LPCWSTR lpFileName) noexcept {
  return GuardedCall(lpFileName != nullptr, FALSE,
                     [&] { return DeleteFileByPath(NativePath(lpFileName)); });
}

DWORD GetFileAttributesW(LPCWSTR lpFileName) noexcept {
  return GuardedCall(lpFileName != nullptr, INVALID_FILE_ATTRIBUTES,
                     [&] { return AttributesByPath(NativePath(lpFileName)); });
}

BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) noexcept {
  return GuardedCall(lpExistingFileName != nullptr && lpNewFileName != nullptr, FALSE, [&] {
    return CopyFileByPath(NativePath(lpExistingFileName), NativePath(lpNewFileName),
                          bFailIfExists != FALSE);
  });
}

BOOL GetFileIdInfoW(LPCWSTR lpFileName, FILE_ID_INFO* lpInfo) noexcept {
  return GuardedCall(lpFileName != nullptr && lpInfo != nullptr, FALSE,
                     [&] { return IdentityByPath(NativePath(lpFileName), *lpInfo); });
}
