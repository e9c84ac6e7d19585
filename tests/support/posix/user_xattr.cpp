// User extended attributes through setxattr(); whether a folder keeps them is
// found by setting one on a probe file.
#include "support/user_xattr.h"

#include <sys/xattr.h>

#include <cerrno>

#include "support/file_bytes.h"

namespace kxu::test {

bool SetUserXattr(const std::filesystem::path& path, const char* name, std::string_view value) {
  return ::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

std::string UserXattrsUnsupported(const std::filesystem::path& folder) {
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
