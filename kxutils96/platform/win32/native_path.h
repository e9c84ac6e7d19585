// Paths as POSIX takes them: the step from a Windows-shaped UTF-16 path, and
// the pieces of such a path that the platform's file calls need. Not
// exported; for the POSIX forms of the platform's file and directory calls
// (posix/native_path.cpp; Windows takes the paths as they are).
#pragma once

#include <cerrno>
#include <string>
#include <string_view>

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::platform {

// The bytes of `lpszPath` as the system names files: its UTF-8 form with
// every '\' turned into '/', so that both separate directories; empty for a
// null path. A lone surrogate U+DC80..U+DCFF is the name byte 0x80..0xFF it
// escapes (as the directory search reports names that are not UTF-8); other
// lone surrogates become U+FFFD.
// Example: NativePath(u"dir\\a.txt") == "dir/a.txt";
// NativePath(u"caf\uDCE9") == "caf\xE9".
std::string NativePath(LPCWSTR lpszPath);

// The folder that would hold the native `path`: everything before its last
// '/' (trailing ones aside), "." for a bare name, "/" for a name in the root.
// Example: ParentFolder("a/b/") == "a"; ParentFolder("b") == ".".
std::string ParentFolder(std::string_view path);

// The last name of the native `path` (trailing '/' aside).
// Example: LastName("a/b/") == "b"; LastName("b") == "b".
std::string_view LastName(std::string_view path);

// True when the native `path` names a folder (or a link to one).
// Example: IsFolder("/tmp") is true.
bool IsFolder(const std::string& path);

// Repeats a system call that a signal interrupted before it did anything
// (it returned -1 with errno EINTR).
// Example: RetryOnInterrupt([&] { return ::read(fd, buffer, size); }).
template <class Call>
auto RetryOnInterrupt(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result == -1 && errno == EINTR);
  return result;
}

}  // namespace kxu::platform
