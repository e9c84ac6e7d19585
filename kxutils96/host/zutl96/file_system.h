// Folders and file copies.
//
// Paths here are UTF-8; a byte that is not part of UTF-8 names the file
// whose name holds that byte (as the directory search reports such names).
#pragma once

// 1 when the UTF-8 path `lpcszDir` (with or without a trailing backslash;
// either slash separates) names an existing folder, or a link to one; 0
// otherwise, and for a null or empty path.
// Example: utlDirectoryExists("/tmp\\") == 1; utlDirectoryExists("/tmp/x.txt") == 0.
int utlDirectoryExists(const char* lpcszDir);

namespace kxu::zutl96 {

// utlCopyFile's modes, as bits; other bits are ignored, so mode 0 overwrites.
enum CopyFileMode : int {
  kCopyOverwrite = 0,
  // An existing destination file is refused (and left as it is).
  kCopyFailIfExists = 2,
};

}  // namespace kxu::zutl96

// Copies the file `lpcszSrc` (UTF-8; a link is copied as the file it points
// to) to `lpcszDest` (UTF-8; its folder must exist), and gives the copy the
// source's modification time and permission bits. `nMode`: see
// CopyFileMode. Returns 0 when the file was copied; 1 when it was not: a
// missing source, a source that is not a regular file, a missing destination
// folder, a destination that is a folder or read-only, an existing
// destination under kCopyFailIfExists, both names reaching the same file, a
// failed read or write (a destination the call created is then removed),
// null names. The system's last error tells why.
// Example: utlCopyFile("a.txt", "b.txt", kCopyFailIfExists) == 0; again: 1.
int utlCopyFile(const char* lpcszSrc, const char* lpcszDest, int nMode);
