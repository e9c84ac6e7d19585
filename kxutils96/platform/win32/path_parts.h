// The two parts of a Windows-shaped path, where either '\' or '/' separates
// folders: the folder part up to its last separator, and the name after it.
// Header-only, for every system.
#pragma once

#include <string_view>

namespace kxu::platform {

// The position just after the last separator of `path`; 0 when it has none.
constexpr size_t NameStart(std::string_view path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

// Everything up to and including the last separator; empty for a bare name.
// Example: FolderPart("C:\\app\\bin\\kxu.exe") == "C:\\app\\bin\\"; FolderPart("a") == "".
constexpr std::string_view FolderPart(std::string_view path) {
  return path.substr(0, NameStart(path));
}

// Everything after the last separator; the whole path when it has none.
// Example: NamePart("dir/zErrMsg.dll") == "zErrMsg.dll"; NamePart("dir/") == "".
constexpr std::string_view NamePart(std::string_view path) {
  return path.substr(NameStart(path));
}

}  // namespace kxu::platform
