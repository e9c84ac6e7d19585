// Whether tests can make symbolic links in a folder: not every system (or
// every std::filesystem) can, and making one may need rights the test does
// not have.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "support/utf8_path.h"

namespace kxu::test {

// Empty when a symbolic link can be made in `folder`, else why not.
inline std::string SymlinksUnsupported(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / ".symlink_probe";
  std::error_code error;
  std::filesystem::create_symlink(folder / "target", probe, error);
  if (!error) {
    std::filesystem::remove(probe);
    return {};
  }
  return "no symbolic link can be made in " + Utf8(folder) + ": " + error.message();
}

}  // namespace kxu::test
