// The system's file and directory calls that the Windows forms of win_file
// and CFile hand their work to, declared with plain C++ types so that their
// callers need not see <windows.h> (whose names clash with the library's own
// Windows-shaped declarations). Each does what the system call of the same
// name does; a failure is left in the system's last error.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kxu::platform::windows {

// The system's constants these calls take, under names of their own (the
// system's are macros); file_system.cpp checks that they agree.
inline constexpr std::uint32_t kGenericRead = 0x80000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kOpenAlways = 4;
inline constexpr std::uint32_t kFindFirstExLargeFetch = 0x2;

// The sizes of the system's WIN32_FIND_DATAW and FILE_ID_INFO, which the
// library's own records (win_file.h) must match.
inline constexpr std::size_t kFindDataSize = 592;
inline constexpr std::size_t kFileIdInfoSize = 24;

// `pFindData` points to a WIN32_FIND_DATAW (win_file.h), laid out as the
// system's.
void* FindFirstFileW(const char16_t* pszFileName, void* pFindData) noexcept;
// The search by name of FindFirstFileExW, at the basic level when `bBasic`
// (else the standard one), with the additional flags `dwAdditionalFlags`.
void* FindFirstFileExW(const char16_t* pszFileName, bool bBasic, void* pFindData,
                       std::uint32_t dwAdditionalFlags) noexcept;
int FindNextFileW(void* hFindFile, void* pFindData) noexcept;
int FindClose(void* hFindFile) noexcept;
// With the default security settings.
int CreateDirectoryW(const char16_t* pszPathName) noexcept;
int DeleteFileW(const char16_t* pszFileName) noexcept;
std::uint32_t GetFileAttributesW(const char16_t* pszFileName) noexcept;
int CopyFileW(const char16_t* pszExistingFileName, const char16_t* pszNewFileName,
              int bFailIfExists) noexcept;

// Fills `pInfo`, a FILE_ID_INFO (win_file.h) laid out as the system's, with
// the identity of what `pszFileName` reaches (a link is followed), through a
// handle opened for its attributes only: the file's 128-bit identity where
// the file system gives one, else its volume serial number and 64-bit index.
// Nonzero on success.
int GetFileIdInfoW(const char16_t* pszFileName, void* pInfo) noexcept;

// CreateFileW for a file (never a folder) with normal attributes; the handle
// is inherited by programs this process starts when `bInheritHandle` is
// true.
void* CreateFileW(const char16_t* pszFileName, std::uint32_t dwDesiredAccess,
                  std::uint32_t dwShareMode, bool bInheritHandle,
                  std::uint32_t dwCreationDisposition) noexcept;
int ReadFile(void* hFile, void* pBuffer, std::uint32_t nToRead, std::uint32_t* pRead) noexcept;
int WriteFile(void* hFile, const void* pBuffer, std::uint32_t nToWrite,
              std::uint32_t* pWritten) noexcept;
// `dwMoveMethod`: 0 from the start, 1 from the current position, 2 from the
// end (CFile's seek origins).
int SetFilePointerEx(void* hFile, std::int64_t nDistance, std::uint64_t* pNewPosition,
                     std::uint32_t dwMoveMethod) noexcept;
int GetFileSizeEx(void* hFile, std::uint64_t* pSize) noexcept;
int SetEndOfFile(void* hFile) noexcept;
int FlushFileBuffers(void* hFile) noexcept;
int CloseHandle(void* hObject) noexcept;
// True when `hFile` is a file on a disk (not a pipe, console or device).
bool IsDiskFile(void* hFile) noexcept;

}  // namespace kxu::platform::windows
