// Setting a file's user extended attributes in the tests of POSIX systems, and
// telling whether the file system of a folder keeps them at all.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kxu::test {

// Sets the attribute `name` of `path` to `value`; false when the system refuses.
bool SetUserXattr(const std::filesystem::path& path, const char* name, std::string_view value);

// Empty when files in `folder` can carry user extended attributes, else why not.
std::string UserXattrsUnsupported(const std::filesystem::path& folder);

}  // namespace kxu::test
