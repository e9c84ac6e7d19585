// The file and directory calls are the system's own. Only the arguments the
// platform's contract refuses (null names and records, handles no search
// gave, security settings) are refused here, with the errors it names,
// before the system sees them.
#include <kxutils96/platform/win32/win_file.h>

#include <kxutils96/platform/win32/windows/file_system.h>

namespace win = kxu::platform::windows;

static_assert(sizeof(WIN32_FIND_DATAW) == win::kFindDataSize);
static_assert(sizeof(FILE_ID_INFO) == win::kFileIdInfoSize);
static_assert(FIND_FIRST_EX_LARGE_FETCH == win::kFindFirstExLargeFetch);

namespace {

// Sets `dwError` as the last error when `bRefused`; true then.
bool Refuse(bool bRefused, DWORD dwError) noexcept {
  if (bRefused) SetLastError(dwError);
  return bRefused;
}

bool IsSearchHandle(HANDLE hFindFile) noexcept {
  return hFindFile != nullptr && hFindFile != INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR lpFileName, WIN32_FIND_DATAW* lpFindFileData) noexcept {
  if (Refuse(lpFileName == nullptr || lpFindFileData == nullptr, ERROR_INVALID_PARAMETER)) {
    return INVALID_HANDLE_VALUE;
  }
  return win::FindFirstFileW(lpFileName, lpFindFileData);
}

HANDLE FindFirstFileExW(LPCWSTR lpFileName, FINDEX_INFO_LEVELS fInfoLevelId,
                        WIN32_FIND_DATAW* lpFindFileData, FINDEX_SEARCH_OPS fSearchOp,
                        void* lpSearchFilter, DWORD dwAdditionalFlags) noexcept {
  const bool bRefused = lpFileName == nullptr || lpFindFileData == nullptr ||
                        (fInfoLevelId != FindExInfoStandard && fInfoLevelId != FindExInfoBasic) ||
                        fSearchOp != FindExSearchNameMatch || lpSearchFilter != nullptr ||
                        (dwAdditionalFlags & ~FIND_FIRST_EX_LARGE_FETCH) != 0;
  if (Refuse(bRefused, ERROR_INVALID_PARAMETER)) return INVALID_HANDLE_VALUE;
  return win::FindFirstFileExW(lpFileName, fInfoLevelId == FindExInfoBasic, lpFindFileData,
                               dwAdditionalFlags);
}

BOOL FindNextFileW(HANDLE hFindFile, WIN32_FIND_DATAW* lpFindFileData) noexcept {
  if (Refuse(!IsSearchHandle(hFindFile), ERROR_INVALID_HANDLE) ||
      Refuse(lpFindFileData == nullptr, ERROR_INVALID_PARAMETER)) {
    return FALSE;
  }
  return win::FindNextFileW(hFindFile, lpFindFileData);
}

BOOL FindClose(HANDLE hFindFile) noexcept {
  if (Refuse(!IsSearchHandle(hFindFile), ERROR_INVALID_HANDLE)) return FALSE;
  return win::FindClose(hFindFile);
}

BOOL CreateDirectoryW(LPCWSTR lpPathName, SECURITY_ATTRIBUTES* lpSecurityAttributes) noexcept {
  if (Refuse(lpPathName == nullptr || lpSecurityAttributes != nullptr, ERROR_INVALID_PARAMETER)) {
    return FALSE;
  }
  return win::CreateDirectoryW(lpPathName);
}

BOOL DeleteFileW(LPCWSTR lpFileName) noexcept {
  if (Refuse(lpFileName == nullptr, ERROR_INVALID_PARAMETER)) return FALSE;
  return win::DeleteFileW(lpFileName);
}

DWORD GetFileAttributesW(LPCWSTR lpFileName) noexcept {
  if (Refuse(lpFileName == nullptr, ERROR_INVALID_PARAMETER)) return INVALID_FILE_ATTRIBUTES;
  return win::GetFileAttributesW(lpFileName);
}

BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) noexcept {
  if (Refuse(lpExistingFileName == nullptr || lpNewFileName == nullptr, ERROR_INVALID_PARAMETER)) {
    return FALSE;
  }
  return win::CopyFileW(lpExistingFileName, lpNewFileName, bFailIfExists);
}

BOOL GetFileIdInfoW(LPCWSTR lpFileName, FILE_ID_INFO* lpInfo) noexcept {
  if (Refuse(lpFileName == nullptr || lpInfo == nullptr, ERROR_INVALID_PARAMETER)) return FALSE;
  return win::GetFileIdInfoW(lpFileName, lpInfo);
}
