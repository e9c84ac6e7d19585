// Setting a file's user extended attributes in tests, and telling whether the
// file system of a folder keeps them at all.
#pragma once

#include <sys/xattr.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/file_bytes.h"

namespace kxu::test {

// Sets the attribute `name` of `path` to `value`; false when the system refuses.
inline bool SetUserXattr(const std::filesystem::path& path, const char* name,
                         std::string_view value) {
  return ::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

// Empty when files in `folder` can carry user extended attributes, else why not.
inline std::string UserXattrsUnsupported(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / ".xattr_probe";
  WriteBytes(probe, "x");
  const bool bSet = SetUserXattr(probe, "user.kxu_probe", "1");
  const int nError = errno;
  std::filesystem::remove(probe);
  if (bSet) return {};
  return "the file system of " + folder.string() + " keeps no user extended attributes (errno " +
         std::to_string(nError) + ")";
}

}  // namespace kxu::test
