// The system's file and directory calls, with the system's contract: paths
// are UTF-16 and both '\' and '/' separate directories; a call that fails
// returns FALSE (or INVALID_HANDLE_VALUE, INVALID_FILE_ATTRIBUTES) and sets
// the last error (GetLastError, win_error.h), which a call that succeeds
// leaves as it was.
//
// On Windows these are the system's own calls, and an entry's attributes and
// times are the system's (a file usually has FILE_ATTRIBUTE_ARCHIVE, for one).
// Over POSIX this library derives them:
//   FILE_ATTRIBUTE_DIRECTORY  the entry is a folder (a symbolic link is seen
//                             as what it points to);
//   FILE_ATTRIBUTE_HIDDEN     its name begins with '.' ("." and ".." aside);
//   FILE_ATTRIBUTE_READONLY   no one may write it: none of its write
//                             permission bits is set;
//   FILE_ATTRIBUTE_REPARSE_POINT  it is a symbolic link, and the record's
//                             dwReserved0 holds IO_REPARSE_TAG_SYMLINK (in a
//                             directory search only);
//   FILE_ATTRIBUTE_NORMAL     none of the above.
// No entry is ever marked FILE_ATTRIBUTE_SYSTEM over POSIX.
//
// Names over POSIX are bytes: a name's UTF-8 is its UTF-16 form, and each byte
// that is not part of UTF-8 (a name written in another encoding) is reported
// as the lone surrogate U+DC00 plus the byte, which the calls here take back
// as that byte, so every name found can be handed back. A '\' inside a name
// found stays a '\', which the calls here take as a separator.
//
// Errors the calls set, on both: ERROR_FILE_NOT_FOUND (2) for a missing
// entry or a search that matches nothing, ERROR_PATH_NOT_FOUND (3) for a
// missing folder on the way (a file on the way may be ERROR_INVALID_NAME
// (123) on Windows), ERROR_ACCESS_DENIED (5) for refused permission
// (and for the misuses named on each call), ERROR_NO_MORE_FILES (18) at the
// end of a search, ERROR_INVALID_PARAMETER for null arguments,
// ERROR_INVALID_HANDLE for a handle that no search gave.
#pragma once

#include <cstdint>

#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_types.h>

using HANDLE = void*;
// What FindFirstFileW returns when no search was started: the address -1,
// as the system defines it.
inline HANDLE const INVALID_HANDLE_VALUE =
    reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));  // NOLINT(performance-no-int-to-ptr)

inline constexpr DWORD MAX_PATH = 260;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x4;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;  // Windows only
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
// The kinds of reparse point a search record's dwReserved0 names: a symbolic
// link, and a junction (Windows only).
inline constexpr DWORD IO_REPARSE_TAG_MOUNT_POINT = 0xA0000003;
inline constexpr DWORD IO_REPARSE_TAG_SYMLINK = 0xA000000C;
// What GetFileAttributesW returns when it fails.
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// One entry found by a directory search, laid out as the system's. Names
// are at most 255 bytes of UTF-8 over POSIX (255 UTF-16 units on Windows),
// so they always fit in cFileName with their NUL.
struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;  // over POSIX, the time of the entry's last status change
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;  // 0 for folders
  DWORD nFileSizeLow;
  DWORD dwReserved0;  // the reparse tag, with FILE_ATTRIBUTE_REPARSE_POINT
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];  // always empty over POSIX
};

// Security settings of a new folder; only null (the defaults) is accepted.
struct SECURITY_ATTRIBUTES;

// Starts a search of the folder named by `lpFileName` up to its last
// separator (the current folder when it has none) for the entries whose names
// match the pattern after it, and fills `*lpFindFileData` with the first.
// Returns the search's handle, to be closed with FindClose, or
// INVALID_HANDLE_VALUE with the last error: ERROR_FILE_NOT_FOUND when the
// folder exists but nothing matches (an empty pattern matches nothing),
// ERROR_PATH_NOT_FOUND when the folder does not exist or is not a folder,
// ERROR_ACCESS_DENIED when it may not be read, ERROR_INVALID_PARAMETER for a
// null argument.
//
// Patterns: '*' matches any run of characters (none included), '?' exactly
// one; letters match either case (upper-cased by the C library's Unicode
// tables, one UTF-16 unit at a time); a pattern that ends in ".*" also
// matches the names that match it without that ending, so "*.*" matches
// every name, names without a dot included.
// "." and ".." are reported like other entries, in the order the system
// lists the folder; entries are not sorted.
//
// The search reads the folder's names and their attributes at this call and
// holds no system resource afterwards, so entries may be deleted or added
// while it is open (they are reported as they were), and open searches are
// limited only by memory. An entry that vanishes before its attributes are
// read is left out; a symbolic link that points nowhere is reported as a
// file with its own attributes.
// Example: with a folder d holding a.txt and b, FindFirstFileW(u"d\\*.*", &data)
// reports ".", "..", "a.txt" and "b" in some order, b with FILE_ATTRIBUTE_DIRECTORY.
HANDLE FindFirstFileW(LPCWSTR lpFileName, WIN32_FIND_DATAW* lpFindFileData) noexcept;

// How much of each entry a search started by FindFirstFileExW reports.
enum FINDEX_INFO_LEVELS : int {  // NOLINT(readability-identifier-naming): the system's name
  FindExInfoStandard = 0,        // FindFirstFileW's records
  // The name and the kind: on Windows the standard record without
  // cAlternateFileName; over POSIX only what the folder's listing tells,
  // with no call of the system per entry (see FindFirstFileExW).
  FindExInfoBasic = 1,
};
// What a search started by FindFirstFileExW looks for: names only.
enum FINDEX_SEARCH_OPS : int {  // NOLINT(readability-identifier-naming): the system's name
  FindExSearchNameMatch = 0,
};
// A hint that the search will read many entries (Windows fetches them in
// larger batches; over POSIX every search reads the whole folder at once).
inline constexpr DWORD FIND_FIRST_EX_LARGE_FETCH = 0x2;

// FindFirstFileW with the amount of each record chosen by `fInfoLevelId`;
// `fSearchOp` must be FindExSearchNameMatch, `lpSearchFilter` null and
// `dwAdditionalFlags` 0 or FIND_FIRST_EX_LARGE_FETCH (else
// INVALID_HANDLE_VALUE with ERROR_INVALID_PARAMETER, as for a level of
// neither kind). Results, errors, patterns and the order of the
// entries are FindFirstFileW's, and FindNextFileW goes on at the same level.
// With FindExInfoBasic over POSIX, a record holds the name and, of the
// attributes, only FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_HIDDEN and
// FILE_ATTRIBUTE_REPARSE_POINT (or FILE_ATTRIBUTE_NORMAL): never
// FILE_ATTRIBUTE_READONLY, and its times and size are zero. The kind comes
// from the listing itself; only a link (to tell whether it leads to a folder)
// and an entry of a file system that lists no kinds cost a call of their own.
// Example: FindFirstFileExW(u"d\\*.*", FindExInfoBasic, &data,
// FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH) reports the names
// FindFirstFileW(u"d\\*.*", &data) reports, folders marked as such.
HANDLE FindFirstFileExW(LPCWSTR lpFileName, FINDEX_INFO_LEVELS fInfoLevelId,
                        WIN32_FIND_DATAW* lpFindFileData, FINDEX_SEARCH_OPS fSearchOp,
                        void* lpSearchFilter, DWORD dwAdditionalFlags) noexcept;

// Fills `*lpFindFileData` with the search's next entry and returns TRUE;
// FALSE with ERROR_NO_MORE_FILES after the last one (or, should the system
// have failed to list the folder to its end, with the error it gave then),
// ERROR_INVALID_HANDLE for a handle no search gave, ERROR_INVALID_PARAMETER
// for a null record.
// Example: while (FindNextFileW(h, &data)) {...} GetLastError() == ERROR_NO_MORE_FILES.
BOOL FindNextFileW(HANDLE hFindFile, WIN32_FIND_DATAW* lpFindFileData) noexcept;

// Ends the search and releases it; FALSE with ERROR_INVALID_HANDLE for
// INVALID_HANDLE_VALUE and null.
// Example: FindClose(FindFirstFileW(u"d\\*", &data)) == TRUE when d has entries.
BOOL FindClose(HANDLE hFindFile) noexcept;

// Creates the one folder `lpPathName` (a trailing separator is allowed; its
// parent must exist). `lpSecurityAttributes` must be null. FALSE with
// ERROR_ALREADY_EXISTS when an entry of that name exists,
// ERROR_PATH_NOT_FOUND when the parent does not, ERROR_ACCESS_DENIED when it
// may not be written, ERROR_INVALID_PARAMETER for a null path or non-null
// security attributes.
// Example: CreateDirectoryW(u"d\\new\\", nullptr) == TRUE; again: FALSE, 183.
BOOL CreateDirectoryW(LPCWSTR lpPathName, SECURITY_ATTRIBUTES* lpSecurityAttributes) noexcept;

// Deletes the file `lpFileName` (a symbolic link itself, not what it points
// to). FALSE with ERROR_ACCESS_DENIED for a folder and for a read-only file
// (see the attributes above), as well as when permission is refused;
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when it is missing.
// Example: DeleteFileW(u"d\\a.txt") == TRUE; DeleteFileW(u"d") == FALSE with 5.
BOOL DeleteFileW(LPCWSTR lpFileName) noexcept;

// The attributes of `lpFileName` (a link is seen as what it points to), or
// INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND.
// A trailing separator is allowed on a folder's name.
// Example: GetFileAttributesW(u"d\\") & FILE_ATTRIBUTE_DIRECTORY is nonzero.
DWORD GetFileAttributesW(LPCWSTR lpFileName) noexcept;

// Copies the contents of the file `lpExistingFileName` (what a link points
// to) into `lpNewFileName`, and gives the copy the source's permission bits
// and its access and modification times. An existing destination is
// overwritten when `bFailIfExists` is FALSE, and refused with
// ERROR_FILE_EXISTS otherwise. FALSE with ERROR_ACCESS_DENIED when the
// source is not a regular file (a folder, a pipe, a device), the destination
// is a folder or another entry that is not a regular file (a pipe, a device;
// never waited on), or the destination is read-only;
// ERROR_SHARING_VIOLATION when both names reach the same file (which is left
// untouched); the system's error when a read or write fails, and then a
// destination this call created is removed again (an overwritten one keeps
// what was written).
// The data moves inside the system where it can (copy_file_range), else
// through a buffer, as do files of up to 16 KiB (one read and one write
// cost less there). Over POSIX a new copy is made with the source's
// permission bits, which are set once more only where the process's
// file-creation mask took some of them away.
// Example: CopyFileW(u"a.txt", u"b.txt", TRUE) == TRUE; again: FALSE with 80.
BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) noexcept;

// A file's identity: two names reach the same file or folder exactly when
// their records are equal (byte for byte).
struct FILE_ID_INFO {
  ULONGLONG VolumeSerialNumber;
  BYTE FileId[16];
};

// Fills `*lpInfo` with the identity of what `lpFileName` reaches (a link is
// followed); FALSE with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when
// nothing is there, ERROR_INVALID_PARAMETER for a null argument. The system
// gives this through a handle opened for the name, which this call opens and
// closes (with the volume serial number and 64-bit file index where the file
// system has no 128-bit identity); over POSIX it is the device and inode.
// Example: GetFileIdInfoW(u"d", &a) and GetFileIdInfoW(u"d\\.", &b) give equal records.
BOOL GetFileIdInfoW(LPCWSTR lpFileName, FILE_ID_INFO* lpInfo) noexcept;
