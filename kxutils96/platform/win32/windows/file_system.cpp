// The only translation unit of the file bridge that sees <windows.h>.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstring>

#include <kxutils96/platform/win32/windows/file_system.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is one UTF-16 unit");

namespace kxu::platform::windows {

static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE);
static_assert(kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE);
static_assert(kCreateAlways == CREATE_ALWAYS && kOpenExisting == OPEN_EXISTING &&
              kOpenAlways == OPEN_ALWAYS);
static_assert(FILE_BEGIN == 0 && FILE_CURRENT == 1 && FILE_END == 2);
static_assert(kFindFirstExLargeFetch == FIND_FIRST_EX_LARGE_FETCH);
static_assert(kFindDataSize == sizeof(WIN32_FIND_DATAW));
static_assert(kFileIdInfoSize == sizeof(FILE_ID_INFO));

namespace {

LPCWSTR Wide(const char16_t* p) noexcept {
  return reinterpret_cast<LPCWSTR>(p);
}

// The older identity: the volume's 32-bit serial number and the file's
// 64-bit index, for file systems (and emulations) that give no FileIdInfo.
bool IdentityFromIndex(HANDLE hFile, FILE_ID_INFO& info) noexcept {
  BY_HANDLE_FILE_INFORMATION details{};
  if (!::GetFileInformationByHandle(hFile, &details)) return false;
  info = FILE_ID_INFO{};
  info.VolumeSerialNumber = details.dwVolumeSerialNumber;
  const ULONGLONG index = (ULONGLONG{details.nFileIndexHigh} << 32) | details.nFileIndexLow;
  static_assert(sizeof(index) <= sizeof(info.FileId.Identifier));
  std::memcpy(info.FileId.Identifier, &index, sizeof(index));
  return true;
}

bool IdentityOfHandle(HANDLE hFile, FILE_ID_INFO& info) noexcept {
  return ::GetFileInformationByHandleEx(hFile, FileIdInfo, &info, sizeof(info)) ||
         IdentityFromIndex(hFile, info);
}

}  // namespace

void* FindFirstFileW(const char16_t* pszFileName, void* pFindData) noexcept {
  return ::FindFirstFileW(Wide(pszFileName), static_cast<WIN32_FIND_DATAW*>(pFindData));
}

void* FindFirstFileExW(const char16_t* pszFileName, bool bBasic, void* pFindData,
                       std::uint32_t dwAdditionalFlags) noexcept {
  return ::FindFirstFileExW(Wide(pszFileName), bBasic ? FindExInfoBasic : FindExInfoStandard,
                            pFindData, FindExSearchNameMatch, nullptr, dwAdditionalFlags);
}

int FindNextFileW(void* hFindFile, void* pFindData) noexcept {
  return ::FindNextFileW(hFindFile, static_cast<WIN32_FIND_DATAW*>(pFindData));
}

int FindClose(void* hFindFile) noexcept {
  return ::FindClose(hFindFile);
}

int CreateDirectoryW(const char16_t* pszPathName) noexcept {
  return ::CreateDirectoryW(Wide(pszPathName), nullptr);
}

int DeleteFileW(const char16_t* pszFileName) noexcept {
  return ::DeleteFileW(Wide(pszFileName));
}

std::uint32_t GetFileAttributesW(const char16_t* pszFileName) noexcept {
  return ::GetFileAttributesW(Wide(pszFileName));
}

int CopyFileW(const char16_t* pszExistingFileName, const char16_t* pszNewFileName,
              int bFailIfExists) noexcept {
  return ::CopyFileW(Wide(pszExistingFileName), Wide(pszNewFileName), bFailIfExists);
}

int GetFileIdInfoW(const char16_t* pszFileName, void* pInfo) noexcept {
  const DWORD dwSavedError = ::GetLastError();
  // No access to the data is asked for, and every sharing allowed, so that
  // no other open of the file stands in the way; backup semantics let the
  // name be a folder.
  const HANDLE hFile = ::CreateFileW(Wide(pszFileName), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  const bool bDone = IdentityOfHandle(hFile, *static_cast<FILE_ID_INFO*>(pInfo));
  const DWORD dwError = bDone ? dwSavedError : ::GetLastError();
  ::CloseHandle(hFile);
  ::SetLastError(dwError);
  return bDone ? TRUE : FALSE;
}

void* CreateFileW(const char16_t* pszFileName, std::uint32_t dwDesiredAccess,
                  std::uint32_t dwShareMode, bool bInheritHandle,
                  std::uint32_t dwCreationDisposition) noexcept {
  SECURITY_ATTRIBUTES security{sizeof(security), nullptr, bInheritHandle ? TRUE : FALSE};
  return ::CreateFileW(Wide(pszFileName), dwDesiredAccess, dwShareMode, &security,
                       dwCreationDisposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int ReadFile(void* hFile, void* pBuffer, std::uint32_t nToRead, std::uint32_t* pRead) noexcept {
  DWORD nRead = 0;
  const BOOL bDone = ::ReadFile(hFile, pBuffer, nToRead, &nRead, nullptr);
  *pRead = nRead;
  return bDone;
}

int WriteFile(void* hFile, const void* pBuffer, std::uint32_t nToWrite,
              std::uint32_t* pWritten) noexcept {
  DWORD nWritten = 0;
  const BOOL bDone = ::WriteFile(hFile, pBuffer, nToWrite, &nWritten, nullptr);
  *pWritten = nWritten;
  return bDone;
}

int SetFilePointerEx(void* hFile, std::int64_t nDistance, std::uint64_t* pNewPosition,
                     std::uint32_t dwMoveMethod) noexcept {
  LARGE_INTEGER distance{};
  distance.QuadPart = nDistance;
  LARGE_INTEGER position{};
  if (!::SetFilePointerEx(hFile, distance, &position, dwMoveMethod)) return FALSE;
  *pNewPosition = static_cast<std::uint64_t>(position.QuadPart);
  return TRUE;
}

int GetFileSizeEx(void* hFile, std::uint64_t* pSize) noexcept {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(hFile, &size)) return FALSE;
  *pSize = static_cast<std::uint64_t>(size.QuadPart);
  return TRUE;
}

int SetEndOfFile(void* hFile) noexcept {
  return ::SetEndOfFile(hFile);
}

int FlushFileBuffers(void* hFile) noexcept {
  return ::FlushFileBuffers(hFile);
}

int CloseHandle(void* hObject) noexcept {
  return ::CloseHandle(hObject);
}

bool IsDiskFile(void* hFile) noexcept {
  return ::GetFileType(hFile) == FILE_TYPE_DISK;
}

}  // namespace kxu::platform::windows
