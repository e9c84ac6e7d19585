// Windows file systems keep no user extended attributes: nothing can be set,
// and every folder says so.
#include "support/user_xattr.h"

namespace kxu::test {

bool SetUserXattr(const std::filesystem::path& /*path*/, const char* /*name*/,
                  std::string_view /*value*/) {
  return false;
}

std::string UserXattrsUnsupported(const std::filesystem::path& /*folder*/) {
  return "Windows file systems keep no user extended attributes";
}

}  // namespace kxu::test
